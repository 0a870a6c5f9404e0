// Resource IDs of the Windows bar: dialog templates, strings, icons and
// the controls of each dialog. Included by kestro.rc and by the C++ code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 137
#define IDD_BAR 146
#define IDD_PAPER_SIZE 173
#define IDD_INDEX_OPTIONS 198

// Strings.
#define IDS_ABOUTBOX 101

// Icons.
#define IDR_MAINFRAME 128
#define IDI_TEX 131
#define IDI_EDIT 133
#define IDI_PDF 135
#define IDI_PROMPT 136
#define IDI_ONECLICK 138
#define IDI_SETTINGS 139

// The bar (template 146). The tooltip strings share the button IDs.
#define IDC_EDIT_BUTTON 1000
#define IDC_CHOOSE_FILE 1001
#define IDC_TEX_BUTTON 1002
#define IDC_PDF_BUTTON 1008
#define IDC_PROMPT_BUTTON 1009
#define IDC_SETTINGS_BUTTON 1010
#define IDC_ONECLICK_BUTTON 1011
#define IDC_HISTORY 1017

// The window-menu command of the version box.
#define IDM_ABOUTBOX 0x0010

// The settings panel (template 137).
#define IDC_CHANGE_EDITOR 1004
#define IDC_CHANGE_TEX 32772
#define IDC_CHOOSE_BIBTEX 32774
#define IDC_CHOOSE_DVIPDF 32775
#define IDC_PAPER_SETTING 32776
#define IDC_INDEX_OPTIONS 32777
#define IDC_CHOOSE_MENDEX 32778

// The paper size dialog (template 173).
#define IDC_SKIP_UNTIL_RESTART 1012
#define IDC_SKIP_FROM_NOW_ON 1013
#define IDC_PAPER_A3 1042
#define IDC_PAPER_A4 1043
#define IDC_PAPER_A5 1044
#define IDC_PAPER_A6 1045
#define IDC_PAPER_B3 1046
#define IDC_PAPER_B4 1047
#define IDC_PAPER_B5 1048
#define IDC_PAPER_B6 1049
#define IDC_PAPER_B5VAR 1050
#define IDC_PAPER_LETTER 1051
#define IDC_PAPER_LEGAL 1052
#define IDC_PAPER_LEDGER 1053
#define IDC_PAPER_TABLOID 1054
#define IDC_PAPER_LANDSCAPE 1055

// The index options dialog (template 198).
#define IDC_INDEX_NEVER_SHOW 1012
#define IDC_INDEX_OPTIONS_EDIT 1121

// The texts that name something only one platform has: its programs, files,
// directories and controls, and the product's name in the window's title.
// The Windows bar shows its templates' and messages' words byte for byte;
// the Linux bar names what a Linux desktop has instead and keeps every
// other word. Texts that read the same on both stay where they are used.
#pragma once

namespace kestro {

struct PlatformTexts {
    // The bar's title, the version box's version and last line.
    const char* barCaption;
    const char* versionText;
    const char* editionLine;
    // Button 1009 (its caption is read out by screen readers) and its tooltip.
    const char* promptButton;
    const char* promptTooltip;
    // The settings panel's bibliography button.
    const char* bibtexButton;
    // The paper size dialog's pointer to where else the size is chosen.
    const char* paperSizeElsewhere;

    // The edit button without a document.
    const char* editorHint;
    // The compiler cannot be started ("%s": the compiler).
    const char* compilerQuestion;
    // The tool selections' explanations.
    const char* changeTexExplanation;
    const char* bibtexExplanation;
    const char* dvipdfExplanation;
    const char* indexExplanation;
    // The bibliography and index steps.
    const char* bibtexHint;
    const char* bibtexError;
    const char* indexHint;
    const char* indexError;
    // The converter failed: perhaps a viewer holds the PDF.
    const char* viewerQuestion;
};

inline constexpr PlatformTexts kWindowsTexts{
    .barCaption = "Pelvane: Drag & Drop TeX file",
    .versionText = "Pelvane Version 3.0",
    .editionLine = "Windows 版",
    .promptButton = "コマンド\nプロンプト",
    .promptTooltip = "\nコマンドプロンプトを開く",
    .bibtexButton = "jBibTeX の選択",
    .paperSizeElsewhere = "メニューの [TeX]→[PDF作成サイズ] でも変更可能",
    .editorHint = "好きな ｴﾃﾞｨﾀ を登録できます。(ﾃﾞﾌｫﾙﾄは ﾒﾓ帳 Notepad です。)\n"
                  "「設定」->「ｴﾃﾞｨﾀ の登録」で選択して下さい。",
    .compilerQuestion = "TeX のコンパイラー \"%s\" が実行できません。パスが通ってない可能性があります。\n"
                        "もし TeX をインストールしているなら、自分で選択してください。\n"
                        "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\n"
                        "TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" などにあるでしょう。",
    .changeTexExplanation = "TeX の compiler を変更します。OK ボタンを押せば実行ファイルが選択できます。\n"
                            "キャンセルすれば、元の platex に戻ります。（パス名無しの \"platex\" のみ）\n"
                            "他の TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。",
    .bibtexExplanation = "BibTeX が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
                         "選択により、フルパスで jbibtex.exe を特定します。\n"
                         "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"jbibtex\" のみ）\n"
                         "jBibTeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。",
    .dvipdfExplanation = "もし PDF が作れないときは、OK ボタンを押して実行ファイル dvipdfmx.exe を見つけて選択して下さい。\n"
                         "恐らく、\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。\n"
                         "キャンセルすれば、パス名無しの dvipdfmx のみに戻ります。",
    .indexExplanation = "MakeIndex が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
                        "選択により、フルパスで mendex.exe を特定します。\n"
                        "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"mendex\" のみ）",
    .bibtexHint = "BibTeX (\"jbibtex.exe\") は「設定」→「BibTeX の選択」からも選択できます。\n"
                  "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
    .bibtexError = "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\n"
                   "DVI ファイルの参考文献の欄も確かめてみて下さい。",
    .indexHint = "MakeIndex (\"mendex.exe\") は「設定」の「makeIndex の選択」からも選択できます。\n"
                 "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
    .indexError = "何かエラーがあります。実行ファイル \"mendex.exe\" を \"makeindex.exe\" にしてしまったとか。",
    .viewerQuestion = "PDF file が作れません！\n もし Acrobat (Adobe Reader) が起動中なら \n閉じてから、「OK」ボタンを下さい。",
};

// TeX Live on Linux has pbibtex where W32TeX has jbibtex, tools without
// ".exe", and TeX in the places the directory search tries; the desktop
// opens documents and PDFs with the programs the user chose, and a terminal
// stands for the command prompt. The settings panel is where the paper size
// is chosen again.
inline constexpr PlatformTexts kLinuxTexts{
    .barCaption = "Kestro: Drag & Drop TeX file",
    .versionText = "Kestro Version 3.0",
    .editionLine = "Linux 版",
    .promptButton = "端末",
    .promptTooltip = "\n端末を開く",
    .bibtexButton = "pBibTeX の選択",
    .paperSizeElsewhere = "[設定]→[PDF 用紙設定] でも変更可能",
    .editorHint = "好きな ｴﾃﾞｨﾀ を登録できます。(ﾃﾞﾌｫﾙﾄは ﾃﾞｽｸﾄｯﾌﾟ の既定のｱﾌﾟﾘ です。)\n"
                  "「設定」->「ｴﾃﾞｨﾀ の変更」で選択して下さい。",
    .compilerQuestion = "TeX のコンパイラー \"%s\" が実行できません。パスが通ってない可能性があります。\n"
                        "もし TeX をインストールしているなら、自分で選択してください。\n"
                        "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\n"
                        "TeX は \"/usr/local/texlive/*/bin/*\", \"/usr/bin\" などにあるでしょう。",
    .changeTexExplanation = "TeX の compiler を変更します。OK ボタンを押せば実行ファイルが選択できます。\n"
                            "キャンセルすれば、元の platex に戻ります。（パス名無しの \"platex\" のみ）\n"
                            "他の TeX は \"/usr/local/texlive/*/bin/*\", \"/usr/bin\" 等に・・・。",
    .bibtexExplanation = "BibTeX が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
                         "選択により、フルパスで pbibtex を特定します。\n"
                         "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"pbibtex\" のみ）\n"
                         "pBibTeX は \"/usr/local/texlive/*/bin/*\", \"/usr/bin\" 等に・・・。",
    .dvipdfExplanation = "もし PDF が作れないときは、OK ボタンを押して実行ファイル dvipdfmx を見つけて選択して下さい。\n"
                         "恐らく、\"/usr/local/texlive/*/bin/*\", \"/usr/bin\" 等に・・・。\n"
                         "キャンセルすれば、パス名無しの dvipdfmx のみに戻ります。",
    .indexExplanation = "MakeIndex が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
                        "選択により、フルパスで mendex を特定します。\n"
                        "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"mendex\" のみ）",
    .bibtexHint = "BibTeX (\"pbibtex\") は「設定」→「BibTeX の選択」からも選択できます。\n"
                  "それでも駄目なら「端末」を使って、直接、実行して下さい。",
    .bibtexError = "何かエラーがあります。実行ファイル \"pbibtex\" を \"bibtex\" にしてしまったとか。\n"
                   "DVI ファイルの参考文献の欄も確かめてみて下さい。",
    .indexHint = "MakeIndex (\"mendex\") は「設定」の「makeIndex の選択」からも選択できます。\n"
                 "それでも駄目なら「端末」を使って、直接、実行して下さい。",
    .indexError = "何かエラーがあります。実行ファイル \"mendex\" を \"makeindex\" にしてしまったとか。",
    .viewerQuestion = "PDF file が作れません！\n もし PDF ビューア が起動中なら \n閉じてから、「OK」ボタンを下さい。",
};

}  // namespace kestro

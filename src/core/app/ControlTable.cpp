#include "app/ControlTable.h"

#include <stdexcept>

#include "app/BarWindow.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"

namespace kestro {

namespace {

using enum ControlKind;

constexpr int bar(BarControl control) { return static_cast<int>(control); }

// A control whose text names something only Windows has: the template's
// text is the Windows bar's.
constexpr TemplateControl named(int id, ControlKind kind, const char* PlatformTexts::*text, int left, int top,
                                int width, int height) {
    return {id, kind, kWindowsTexts.*text, left, top, width, height, text};
}

// A paper size's radio button, as the paper dialog's model names it.
constexpr TemplateControl paperRadio(std::size_t position, int left, int top, int width) {
    const PaperChoice& choice = PaperSizeDialog::kChoices[position];
    return {choice.controlId, RadioButton, choice.caption, left, top, width, 10};
}

constexpr TemplateControl kBar[] = {
    {bar(BarControl::History), ComboBox, "", 24, 23, 162, 186},
    {bar(BarControl::Edit), Button, "Edit", 0, 0, 22, 21},
    {bar(BarControl::ChooseFile), Button, "ﾌｧｲﾙ選択", 190, 23, 45, 12},
    {bar(BarControl::Tex), Button, "TeX", 54, 0, 22, 21},
    {bar(BarControl::Pdf), Button, "PDF\nRead", 78, 0, 22, 21},
    named(bar(BarControl::CommandPrompt), Button, &PlatformTexts::promptButton, 187, 0, 22, 21),
    {bar(BarControl::Settings), Button, "設定", 213, 0, 22, 21},
    {bar(BarControl::OneClick), Button, "PDF\nRead", 30, 0, 22, 21},
    {-1, Text, "履歴", 4, 25, 16, 8},
};

constexpr TemplateControl kAbout[] = {
    {-1, Icon, "", 11, 17, 20, 20},
    named(-1, Text, &PlatformTexts::versionText, 40, 10, 64, 8),
    {1, DefaultButton, "OK", 110, 7, 50, 14},
    {-1, Text, "TeX 用ツールバー", 42, 22, 78, 8},
    named(-1, Text, &PlatformTexts::editionLine, 73, 36, 45, 8),
};

constexpr TemplateControl kSettings[] = {
    {SettingsDialog::kClose, DefaultButton, "閉じる", 7, 128, 77, 14},
    {SettingsDialog::kEditor, Button, "ｴﾃﾞｨﾀ の変更", 7, 7, 77, 14},
    {SettingsDialog::kTex, Button, "TeX の変更", 7, 21, 77, 14},
    named(SettingsDialog::kBibtex, Button, &PlatformTexts::bibtexButton, 7, 37, 77, 14),
    {SettingsDialog::kDvipdf, Button, "dvipdfmx の選択", 7, 52, 77, 14},
    {SettingsDialog::kIndexTool, Button, "mendex の選択", 7, 68, 77, 14},
    {SettingsDialog::kIndexOptions, Button, "MakeIndex のオプション", 7, 83, 77, 14},
    {SettingsDialog::kPaperSize, Button, "PDF 用紙設定", 7, 99, 77, 14},
};

constexpr TemplateControl kPaperSize[] = {
    {-1, Text, "DVI から PDF に変換する時の用紙の大きさを指定して下さい。\n（デフォルトは A4 です。）", 13, 12, 95, 26},
    {1, DefaultButton, "OK", 113, 7, 50, 14},
    {2, Button, "ｷｬﾝｾﾙ", 113, 24, 50, 14},
    {PaperSizeDialog::kSkipUntilRestartBox, CheckBox, "次回起動まで。（設定は保持し、次回リセット）", 25, 57, 143, 10},
    {PaperSizeDialog::kSkipFromNowOnBox, CheckBox, "今後。（設定は保持）", 25, 71, 102, 10},
    {-1, Text, " [PDF] ボタンでは、このダイアログを表示しない。", 10, 45, 142, 8},
    named(-1, Text, &PlatformTexts::paperSizeElsewhere, 11, 86, 151, 9),
    paperRadio(0, 10, 105, 24),  paperRadio(1, 38, 105, 24),  paperRadio(2, 66, 105, 24),
    paperRadio(3, 95, 105, 24),  paperRadio(4, 128, 105, 41), paperRadio(5, 11, 120, 24),
    paperRadio(6, 38, 120, 24),  paperRadio(7, 66, 120, 24),  paperRadio(8, 95, 120, 24),
    paperRadio(9, 128, 120, 33), paperRadio(10, 11, 135, 29), paperRadio(11, 49, 135, 29),
    paperRadio(12, 87, 135, 30), paperRadio(13, 128, 135, 37),
};

constexpr TemplateControl kIndexOptions[] = {
    {1, DefaultButton, "OK", 134, 7, 50, 14},
    {2, Button, "ｷｬﾝｾﾙ", 134, 24, 50, 14},
    {IndexOptionsDialog::kOptionsEdit, Edit, "", 18, 63, 149, 14},
    {-1, Text,
     "索引作成 MakeIndex のコマンド mendex のオプションを入力して下さい。 \n\n"
     "（例） 索引用スタイルファイル myindex.ist, を組み込むなら、次を入力して下さい。",
     9, 9, 121, 39},
    {-1, Text, "-s myindex", 21, 52, 39, 8},
    {IndexOptionsDialog::kNeverShowBox, CheckBox, "今後、自動ではこのメッセージを表示しない。", 12, 99, 144, 10},
    {-1, Text, "（他のオプションはコマンドラインから mendex -? で表示）", 11, 84, 166, 8},
    {-1, Text, " [設定] → [MakeIndex のオプション] でも設定可能", 11, 116, 155, 8},
};

constexpr DialogTemplate kTemplates[] = {
    {kBarTemplate, kWindowsTexts.barCaption, 400, 50, 235, 38, kBar, &PlatformTexts::barCaption},
    {kAboutTemplate, "Kestroのﾊﾞｰｼﾞｮﾝ情報", 0, 0, 167, 56, kAbout},
    {kSettingsTemplate, "設定", 0, 0, 91, 150, kSettings},
    {kPaperSizeTemplate, "PDF 作成の用紙サイズ", 0, 0, 181, 157, kPaperSize},
    {kIndexOptionsTemplate, "MakeIndex のオプション", 0, 0, 191, 136, kIndexOptions},
};

}  // namespace

std::span<const DialogTemplate> dialogTemplates() { return kTemplates; }

const DialogTemplate& dialogTemplate(int templateId) {
    for (const DialogTemplate& form : kTemplates) {
        if (form.id == templateId) return form;
    }
    throw std::out_of_range("no dialog template " + std::to_string(templateId));
}

const TemplateControl& templateControl(const DialogTemplate& form, int controlId) {
    for (const TemplateControl& control : form.controls) {
        if (control.id == controlId) return control;
    }
    throw std::out_of_range("no control " + std::to_string(controlId) + " in template " + std::to_string(form.id));
}

const char* controlText(const PlatformRules& rules, const TemplateControl& control) {
    return control.platformText ? rules.texts().*control.platformText : control.text;
}

const char* captionText(const PlatformRules& rules, const DialogTemplate& form) {
    return form.platformCaption ? rules.texts().*form.platformCaption : form.caption;
}

}  // namespace kestro

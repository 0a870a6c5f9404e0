#include "TerminalUi.h"

#include <filesystem>
#include <system_error>

#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"

namespace kestro::cli {
namespace {

constexpr const char* kCaption = "kestro-build";

std::string toolName(FileChoice purpose) {
    switch (purpose) {
    case FileChoice::TexCompiler: return "TeX のコンパイラー";
    case FileChoice::Bibtex: return "BibTeX";
    case FileChoice::Dvipdf: return "dvipdfmx";
    case FileChoice::IndexTool: return "mendex";
    case FileChoice::Editor: return "ｴﾃﾞｨﾀ";
    case FileChoice::Document: return "TeX ファイル";
    }
    return "";
}

bool isYes(std::string answer) {
    for (char& c : answer) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return answer == "y" || answer == "yes" || answer == "ok";
}

}  // namespace

TerminalUi::TerminalUi(const CliOptions& options, std::ostream& messages, Terminal* terminal, Opener opener)
    : options_(options), messages_(messages), terminal_(terminal), opener_(std::move(opener)) {}

void TerminalUi::say(const std::string& caption, const std::string& text) {
    messages_ << (caption.empty() ? std::string(kCaption) : caption) << ": " << text << "\n";
    messages_.flush();
}

Answer TerminalUi::showMessage(const MessageBoxRequest& box) {
    say(box.caption, box.text);
    if (box.buttons == BoxButtons::Ok) return Answer::Ok;

    Answer answer = Answer::Cancel;
    if (options_.answer) {
        answer = *options_.answer;
    } else if (terminal_ != nullptr) {
        const std::optional<std::string> line = terminal_->ask("OK で続ける (y) / キャンセル (n) [y/N]: ");
        answer = line && isYes(*line) ? Answer::Ok : Answer::Cancel;
    }
    messages_ << "  -> " << (answer == Answer::Ok ? "OK" : "キャンセル") << "\n";
    messages_.flush();
    return answer;
}

std::optional<std::string> TerminalUi::chooseFile(const FileDialogRequest& request) {
    if (terminal_ == nullptr) {
        // The tool selections do not get here without a terminal; whatever
        // else asks for a file is not chosen.
        say("", toolName(request.purpose) + " はここでは選択できません。「設定」で選択して下さい。");
        return std::nullopt;
    }
    for (;;) {
        const std::optional<std::string> line =
            terminal_->ask(toolName(request.purpose) + " のファイルのパス (空行でキャンセル): ");
        if (!line || line->empty()) return std::nullopt;
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(*line, error);
        // The dialog lets only an existing file be chosen.
        if (!error && std::filesystem::is_regular_file(path, error)) return path.string();
        say("", *line + " が見つかりません。");
    }
}

bool TerminalUi::runPaperSizeDialog(PaperSizeDialog& dialog) {
    dialog.accept(options_.paperSizeNo.value_or(dialog.checkedPosition()));
    const int chosen = dialog.sizeNo;
    const bool known = chosen >= 0 && chosen < static_cast<int>(PaperSizeDialog::kChoices.size());
    say("", std::string("PDF 作成の用紙サイズ: ") + (known ? PaperSizeDialog::kChoices[chosen].caption : "A4"));
    return true;
}

bool TerminalUi::runIndexOptionsDialog(IndexOptionsDialog& dialog) {
    dialog.accept(options_.indexOptions.value_or(dialog.optionsText), dialog.neverShow != 0);
    say("", "MakeIndex のオプション: \"" + dialog.optionsText + "\"");
    return true;
}

void TerminalUi::runSettingsDialog(SettingsDialog&) {}

int TerminalUi::shellOpen(const ShellOpenRequest& request) {
    if (options_.noView && !request.parameters) {
        handedOver_ = true;
        return 42;
    }
    const int result = opener_(request);
    if (result > 32) handedOver_ = true;
    return result;
}

}  // namespace kestro::cli

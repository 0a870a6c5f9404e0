#include "TerminalUi.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "text/CodePage.h"

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

// What is wrong with `typed` as the file to choose (the message's tail), or
// the empty text when it can be chosen: an existing file, and for a program
// one with an execute bit, as a file dialog for executables would insist.
std::string whyNotChosen(const std::string& typed, FileChoice purpose, std::string& chosen) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(typed, error);
    if (error) return " が見つかりません。";
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    if (error || !std::filesystem::exists(status)) return " が見つかりません。";
    if (std::filesystem::is_directory(status)) return " はディレクトリです。ファイルを指定して下さい。";
    if (!std::filesystem::is_regular_file(status)) return " は通常のファイルではありません。";
    if (purpose != FileChoice::Document && ::access(path.c_str(), X_OK) != 0) {
        return " は実行できません（実行の許可がありません）。";
    }
    chosen = path.string();
    return "";
}

bool isYes(const std::string& typed) {
    const std::string answer = foldAsciiCase(CodePage::Utf8, typed);
    return answer == "y" || answer == "yes" || answer == "ok";
}

}  // namespace

TerminalUi::TerminalUi(const CliOptions& options, std::ostream& messages, Terminal* terminal)
    : options_(options), messages_(messages), terminal_(terminal) {}

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
        std::string chosen;
        const std::string problem = whyNotChosen(*line, request.purpose, chosen);
        if (problem.empty()) return chosen;
        say("", *line + problem);
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

}  // namespace kestro::cli

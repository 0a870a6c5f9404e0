#include "ScriptedUi.h"

#include <gtest/gtest.h>

namespace kestro::testing {

ScriptedUi::~ScriptedUi() {
    EXPECT_TRUE(questions_.empty()) << questions_.size() << " scripted answer(s) to questions were never asked for";
    EXPECT_TRUE(files_.empty()) << files_.size() << " scripted file dialog answer(s) unused";
    EXPECT_TRUE(paperUsers_.empty()) << "a scripted paper size dialog was never shown";
    EXPECT_TRUE(indexUsers_.empty()) << "a scripted index options dialog was never shown";
    EXPECT_TRUE(settingsUsers_.empty()) << "a scripted settings dialog was never shown";
    EXPECT_TRUE(shellResults_.empty()) << "a scripted shell open never happened";
}

void ScriptedUi::answerQuestion(Answer answer) { questions_.push_back(answer); }
void ScriptedUi::answerFileDialog(std::optional<std::string> path) { files_.push_back(std::move(path)); }
void ScriptedUi::answerPaperDialog(std::function<bool(PaperSizeDialog&)> user) { paperUsers_.push_back(std::move(user)); }
void ScriptedUi::answerIndexDialog(std::function<bool(IndexOptionsDialog&)> user) { indexUsers_.push_back(std::move(user)); }
void ScriptedUi::answerSettingsDialog(std::function<void(SettingsDialog&)> user) { settingsUsers_.push_back(std::move(user)); }
void ScriptedUi::answerShellOpen(int result) { shellResults_.push_back(result); }

std::vector<std::string> ScriptedUi::boxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : boxes_) texts.push_back(box.text);
    return texts;
}

Answer ScriptedUi::showMessage(const MessageBoxRequest& box) {
    boxes_.push_back(box);
    events_.push_back("box: " + box.text);
    if (onMessage) onMessage(box);
    if (box.buttons == BoxButtons::Ok) return Answer::Ok;
    if (questions_.empty()) {
        ADD_FAILURE() << "unexpected question: " << box.text;
        return Answer::Cancel;
    }
    Answer answer = questions_.front();
    questions_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedUi::chooseFile(const FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    events_.push_back("file dialog: " + request.filter);
    if (files_.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << request.filter;
        return std::nullopt;
    }
    std::optional<std::string> path = files_.front();
    files_.pop_front();
    return path;
}

bool ScriptedUi::runPaperSizeDialog(PaperSizeDialog& dialog) {
    ++paperDialogs_;
    events_.push_back("paper dialog");
    if (paperUsers_.empty()) {
        ADD_FAILURE() << "unexpected paper size dialog";
        return false;
    }
    auto user = std::move(paperUsers_.front());
    paperUsers_.pop_front();
    return user(dialog);
}

bool ScriptedUi::runIndexOptionsDialog(IndexOptionsDialog& dialog) {
    ++indexDialogs_;
    events_.push_back("index dialog");
    if (indexUsers_.empty()) {
        ADD_FAILURE() << "unexpected index options dialog";
        return false;
    }
    auto user = std::move(indexUsers_.front());
    indexUsers_.pop_front();
    return user(dialog);
}

void ScriptedUi::runSettingsDialog(SettingsDialog& dialog) {
    ++settingsDialogs_;
    events_.push_back("settings dialog");
    if (settingsUsers_.empty()) {
        ADD_FAILURE() << "unexpected settings dialog";
        return;
    }
    auto user = std::move(settingsUsers_.front());
    settingsUsers_.pop_front();
    user(dialog);
}

int ScriptedUi::shellOpen(const ShellOpenRequest& request) {
    shellOpens_.push_back(request);
    events_.push_back("shell open: " + request.file);
    if (shellResults_.empty()) return 42;
    int result = shellResults_.front();
    shellResults_.pop_front();
    return result;
}

void ScriptedUi::setWaitCursor(bool on) {
    waitCursor_ = on;
    ++waitCursorSwitches_;
}

}  // namespace kestro::testing

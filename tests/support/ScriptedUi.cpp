#include "ScriptedUi.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kestro::fake {

namespace {

// The next scripted entry, or a failure of the test when there is none.
template <typename T>
std::optional<T> next(std::deque<T>& script, const std::string& what) {
    if (script.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return std::nullopt;
    }
    T entry = std::move(script.front());
    script.pop_front();
    return entry;
}

}  // namespace

ScriptedUi::~ScriptedUi() {
    EXPECT_TRUE(answers.empty() && files.empty() && paperDialogs.empty() && indexDialogs.empty() &&
                settingsDialogs.empty() && shellResults.empty())
        << "a scripted answer was never asked for";
}

int ScriptedUi::count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

std::vector<std::string> ScriptedUi::boxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : boxes) texts.push_back(box.text);
    return texts;
}

Answer ScriptedUi::showMessage(const MessageBoxRequest& box) {
    boxes.push_back(box);
    events.push_back("box: " + box.text);
    if (onMessage) onMessage(box);
    if (box.buttons == BoxButtons::Ok) return Answer::Ok;
    return next(answers, "question: " + box.text).value_or(Answer::Cancel);
}

std::optional<std::string> ScriptedUi::chooseFile(const FileDialogRequest& request) {
    fileRequests.push_back(request);
    events.push_back("file dialog");
    return next(files, "file dialog").value_or(std::nullopt);
}

bool ScriptedUi::runPaperSizeDialog(PaperSizeDialog& dialog) {
    events.push_back("paper dialog");
    auto user = next(paperDialogs, "paper size dialog");
    return user && (*user)(dialog);
}

bool ScriptedUi::runIndexOptionsDialog(IndexOptionsDialog& dialog) {
    events.push_back("index dialog");
    auto user = next(indexDialogs, "index options dialog");
    return user && (*user)(dialog);
}

void ScriptedUi::runSettingsDialog(SettingsDialog& dialog) {
    events.push_back("settings dialog");
    if (auto user = next(settingsDialogs, "settings dialog")) (*user)(dialog);
}

int ScriptedUi::shellOpen(const ShellOpenRequest& request) {
    shellOpens.push_back(request);
    events.push_back("shell open: " + request.file);
    return shellResults.empty() ? 42 : *next(shellResults, "shell open");
}

}  // namespace kestro::fake

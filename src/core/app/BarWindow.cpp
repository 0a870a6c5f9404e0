#include "app/BarWindow.h"

#include <algorithm>
#include <cstdio>

#include "app/Startup.h"
#include "seam/FileError.h"
#include "dialogs/SettingsDialog.h"
#include "document/DocumentPath.h"
#include "document/EditorAndPrompt.h"
#include "pdf/PdfOutput.h"
#include "settings/IniText.h"
#include "settings/SettingsKeys.h"
#include "state/SettingsLoad.h"
#include "text/TextFormat.h"

namespace kestro {

namespace {

constexpr int kHistoryCapacity = 16;

std::string historyKey(int slot) {
    char key[16];
    std::snprintf(key, sizeof key, keys::kHistoryKeyFormat, slot);
    return key;
}

}  // namespace

std::string settingsWriteFailureText(const std::string& settingsPath) {
    return fillPlaceholder("設定ファイル \"%s\" に書き込めません。\n設定は保存されません。", "%s", settingsPath);
}

std::string startFolderTooLongText() {
    return "起動したフォルダーのパスが長すぎるため、\n設定は保存されません。\n"
           "短いパスのフォルダーから起動して下さい。";
}

std::string lineBreakInPathText() {
    return "ファイルのパス名に改行が含まれています！\n改行の無い名前に変えて下さい！";
}

BarWindow::BarWindow(Services& services, const std::string& commandTail)
    : services_(services),
      history_(services.rules.codePage, services.rules.historyIgnoresCase()) {
    state_.documentPath = documentFromCommandTail(commandTail);
    // A choice that cannot be stored would vanish at the next start without
    // a word; say so once.
    services_.settings.onFirstWriteFailure([this](const std::string& path) {
        showBarMessage(services_, path.empty() ? startFolderTooLongText() : settingsWriteFailureText(path));
    });
}

void BarWindow::initialise() {
    loadPaperGroup(state_, services_.settings);
    loadHistory();
    loadToolGroup(state_, services_.settings, services_.rules);
    selectStartupDocument();
    if (BarView* view = services_.view) {
        view->historyChanged();
        view->repaint();
    }
}

void BarWindow::initialiseWithoutWindow(const std::string& document) {
    loadPaperGroup(state_, services_.settings);
    loadToolGroup(state_, services_.settings, services_.rules);
    setDocument(document);
}

void BarWindow::loadHistory() {
    state_.historyCapacity = kHistoryCapacity;
    std::string firstEntry;
    for (int slot = 0; slot < state_.historyCapacity; ++slot) {
        std::string value = services_.settings.readSettingString(keys::kHistory, historyKey(slot), "");
        if (value.empty()) break;
        history_.insert(slot, value);
        if (slot == 0) firstEntry = value;
    }
    history_.setExtendedUi(true);
    if (!state_.documentPath.empty() && refusesDocument(state_.documentPath)) state_.documentPath.clear();
    if (state_.documentPath.empty()) {
        if (!refusesDocument(firstEntry)) state_.documentPath = firstEntry;
    } else {
        // Listed on top even when an older entry names it too, and without
        // cutting the list: it may hold one entry more than it keeps.
        history_.insert(0, state_.documentPath);
    }
}

void BarWindow::selectStartupDocument() {
    if (state_.documentPath.empty()) return;
    history_.selectString(-1, state_.documentPath);
    setDocument(state_.documentPath);
}

void BarWindow::setDocument(const std::string& path) {
    state_.documentPath = path;
    DocumentParts parts = splitDocumentPath(services_.rules, path);
    state_.documentStem = std::move(parts.stem);
    state_.documentDir = std::move(parts.directory);
    state_.documentExt = std::move(parts.extension);
}

bool BarWindow::refusesDocument(const std::string& path) {
    // Written to the history, the path would break its line of the settings
    // file, and it would come back as another path, or plant keys.
    if (iniCanStore(keys::kHistory, historyKey(0), path)) return false;
    showBarMessage(services_, lineBreakInPathText());
    return true;
}

void BarWindow::pushHistoryTop(bool select) {
    const int old = history_.findString(-1, state_.documentPath);
    if (old >= 0) history_.remove(old);
    history_.insert(0, state_.documentPath);
    history_.setEditText(state_.documentPath);
    if (select) history_.selectString(-1, state_.documentPath);
    if (services_.view) services_.view->focusHistory();
    if (history_.count() > state_.historyCapacity) history_.remove(state_.historyCapacity);
    if (services_.view) services_.view->historyChanged();
}

void BarWindow::press(BarControl button) {
    switch (button) {
        case BarControl::Edit: dispatch([this] { openInEditor(); }); break;
        case BarControl::ChooseFile: dispatch([this] { chooseDocumentFile(); }); break;
        case BarControl::Tex: runRoad(RoadKind::Tex, &BarWindow::compileAndConvert); break;
        case BarControl::Pdf: runRoad(RoadKind::Pdf, &BarWindow::openPdf); break;
        case BarControl::CommandPrompt: dispatch([this] { openCommandPrompt(); }); break;
        case BarControl::Settings: dispatch([this] { openSettingsPanel(); }); break;
        case BarControl::OneClick: runRoad(RoadKind::OneClick, &BarWindow::buildAndShowPdf); break;
        case BarControl::History: break;
    }
}

void BarWindow::runRoad(RoadKind kind, void (BarWindow::*operation)()) {
    services_.road.clear();
    // The document stays the same while a build button runs.
    const std::string pdfPath = state_.documentDir + state_.documentStem + ".pdf";
    const std::optional<FileTime> pdfBefore = services_.files.modificationTime(pdfPath);
    dispatch([this, operation] { (this->*operation)(); });
    lastRoad_ = judgeRoad(kind, services_.road, pdfBefore, services_.files.modificationTime(pdfPath));
}

void BarWindow::dispatch(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const FileError& error) {
        services_.road.noteStop(fileErrorText(error));
        showAppMessage(services_, fileErrorText(error), BoxButtons::Ok, BoxIcon::Stop);
    } catch (const MemoryError&) {
        services_.road.noteStop(memoryErrorText());
        MessageBoxRequest box;
        box.owner = BoxOwner::Application;
        box.text = memoryErrorText();
        box.caption = services_.appName;
        box.icon = BoxIcon::Exclamation;
        box.systemModal = true;
        services_.ui.showMessage(box);
    }
}

void BarWindow::chooseDocumentFile() {
    const std::optional<std::string> chosen = services_.ui.chooseFile({FileKind::TexDocument, FileChoice::Document});
    if (chosen && !refusesDocument(*chosen)) {
        setDocument(*chosen);
        pushHistoryTop(true);
    }
    if (services_.view) services_.view->repaint();
}

void BarWindow::acceptDroppedFile(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    const std::string& path = paths.front();
    // A path the system's file functions do not take names no file the bar
    // can work on: the file-error box says so, and nothing changes.
    if (path.size() > services_.rules.longestPath()) throw FileError(FileErrorCause::InvalidPath, path);
    const std::string extension = splitDocumentPath(services_.rules, path).extension;
    if (extension != ".tex" && extension != ".TEX") {
        showBarMessage(services_, "TeX のファイルではありません！登録して直して下さい！");
        return;
    }
    if (refusesDocument(path)) return;
    setDocument(path);
    pushHistoryTop(false);
    if (services_.view) services_.view->repaint();
}

void BarWindow::pickHistoryEntry(int index) {
    if (index < 0 || index >= history_.count()) return;
    const std::string text = history_.text(index);
    if (!refusesDocument(text)) {
        history_.remove(index);
        if (services_.files.exists(text)) {
            history_.insert(0, text);
            history_.selectString(0, text);
            setDocument(text);
        }
    }
    if (BarView* view = services_.view) {
        view->historyChanged();
        view->repaint();
    }
}

void BarWindow::saveHistory() {
    const int written = std::min(history_.count(), state_.historyCapacity);
    for (int slot = 0; slot < written; ++slot) {
        services_.settings.writeSettingString(keys::kHistory, historyKey(slot), history_.text(slot));
    }
    // Slots above the list are cleared, so entries that left the list do
    // not come back as repeats at the next start.
    for (int slot = written; slot < kHistoryCapacity; ++slot) {
        services_.settings.deleteSetting(keys::kHistory, historyKey(slot));
    }
}

void BarWindow::endRun() {
    if (ended_) return;
    ended_ = true;
    saveHistory();
}

void BarWindow::openInEditor() { kestro::openInEditor(state_, services_); }
void BarWindow::openCommandPrompt() { kestro::openCommandPrompt(state_, services_); }
void BarWindow::compileAndConvert() { kestro::compileAndConvert(state_, services_); }
void BarWindow::openPdf() { kestro::openPdf(state_, services_); }
void BarWindow::buildAndShowPdf() { kestro::buildAndShowPdf(state_, services_); }
void BarWindow::openSettingsPanel() { kestro::openSettingsPanel(state_, services_); }

std::string BarWindow::tooltipText(const PlatformRules& rules, int controlId) {
    switch (controlId) {
        case 1000: return "\nﾌｧｲﾙの編集";
        case 1002: return "\nTeX のコンパイル";
        case 1008: return "\nPDF ﾌｧｲﾙの表示";
        case 1009: return rules.texts().promptTooltip;
        case 1011: return "\nTeX のコンパイルからPDF の作成・表示まで";
        default: return {};
    }
}

std::string BarWindow::aboutMenuText() { return "Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)..."; }

}  // namespace kestro

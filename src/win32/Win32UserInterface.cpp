#include "Win32UserInterface.h"

#include <cstring>

#include "Win32Dialogs.h"
#include "resource.h"

namespace kestro {

namespace {
constexpr DWORD kFileNameBuffer = MAX_PATH;  // 260 bytes: at most 259 come back
}

UINT messageBoxStyle(const MessageBoxRequest& box) {
    UINT style = box.buttons == BoxButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    switch (box.icon) {
        case BoxIcon::None: break;
        case BoxIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
        case BoxIcon::Stop: style |= MB_ICONHAND; break;
    }
    if (box.systemModal) style |= MB_SYSTEMMODAL;
    return style;
}

std::string fileDialogFilter(FileKind kind) {
    using namespace std::string_literals;
    switch (kind) {
        case FileKind::TexDocument: return "TeX file (*.tex)\0*.tex\0\0"s;
        case FileKind::Tool: return "Exe files (*.exe)\0*.exe\0\0"s;
        case FileKind::Editor: break;
    }
    return "実行ファイル(*.exe)\0*.exe\0\0"s;
}

void Win32UserInterface::attachBar(HWND bar, std::function<void()> showHistory) {
    bar_ = bar;
    showHistory_ = bar ? std::move(showHistory) : std::function<void()>();
}

HWND Win32UserInterface::activeOwner() const {
    HWND active = GetActiveWindow();
    return active ? active : bar_;
}

Answer Win32UserInterface::showMessage(const MessageBoxRequest& box) {
    HWND owner = box.owner == BoxOwner::Bar ? bar_ : activeOwner();
    const int answer = MessageBoxA(owner, box.text.c_str(), box.caption.c_str(), messageBoxStyle(box));
    return answer == IDOK ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> Win32UserInterface::chooseFile(const FileDialogRequest& request) {
    const std::string filter = fileDialogFilter(request.kind);
    // The document's and the editor's dialogs open on their pattern.
    const char* initialName = request.kind == FileKind::TexDocument ? "*.tex"
                              : request.kind == FileKind::Editor    ? "*.exe"
                                                                    : "";
    const char* defaultExtension = request.kind == FileKind::TexDocument ? "tex"
                                   : request.kind == FileKind::Editor    ? "exe"
                                                                         : nullptr;
    char fileName[kFileNameBuffer] = {};
    std::strncpy(fileName, initialName, kFileNameBuffer - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.purpose == FileChoice::Document ? bar_ : activeOwner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = kFileNameBuffer;
    dialog.lpstrDefExt = defaultExtension;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameA(&dialog)) return std::nullopt;
    return std::string(fileName);
}

bool Win32UserInterface::runPaperSizeDialog(PaperSizeDialog& dialog) {
    return runPaperSizeDialogWindow(resources_, activeOwner(), dialog);
}

bool Win32UserInterface::runIndexOptionsDialog(IndexOptionsDialog& dialog) {
    return runIndexOptionsDialogWindow(resources_, activeOwner(), dialog);
}

void Win32UserInterface::runSettingsDialog(SettingsDialog& dialog) {
    runSettingsDialogWindow(resources_, bar_, dialog);
}

void Win32UserInterface::setWaitCursor(bool on) {
    if (on) {
        HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (waitDepth_++ == 0) cursorBeforeWait_ = previous;
    } else if (waitDepth_ > 0 && --waitDepth_ == 0) {
        SetCursor(cursorBeforeWait_);
        cursorBeforeWait_ = nullptr;
    }
}

void Win32UserInterface::repaint() {
    if (bar_) InvalidateRect(bar_, nullptr, TRUE);
}

void Win32UserInterface::historyChanged() {
    if (showHistory_) showHistory_();
}

void Win32UserInterface::focusHistory() {
    if (bar_) SetFocus(GetDlgItem(bar_, IDC_HISTORY));
}

}  // namespace kestro

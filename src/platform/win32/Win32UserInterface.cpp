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

std::string fileDialogFilter(const std::string& filter) {
    std::string converted = filter;
    for (char& c : converted) {
        // '|' is ASCII and never the second byte of a CP932 character.
        if (c == '|') c = '\0';
    }
    // The list ends with an empty description: two zero bytes in a row.
    while (converted.size() < 2 || converted[converted.size() - 1] != '\0' ||
           converted[converted.size() - 2] != '\0') {
        converted.push_back('\0');
    }
    return converted;
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
    const std::string filter = fileDialogFilter(request.filter);
    char fileName[kFileNameBuffer] = {};
    std::strncpy(fileName, request.initialName.c_str(), kFileNameBuffer - 1);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = request.purpose == FileChoice::Document ? bar_ : activeOwner();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = kFileNameBuffer;
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = request.flags | OFN_EXPLORER;
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

int Win32UserInterface::shellOpen(const ShellOpenRequest& request) {
    const HINSTANCE result = ShellExecuteA(
        bar_, request.verb.empty() ? nullptr : request.verb.c_str(), request.file.c_str(),
        request.parameters ? request.parameters->c_str() : nullptr,
        request.directory.empty() ? nullptr : request.directory.c_str(), request.showCommand);
    // The result is an error code below 33, or any larger value on success.
    const auto value = reinterpret_cast<INT_PTR>(result);
    return value > 32 ? 33 : static_cast<int>(value);
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

void Win32UserInterface::invalidate() {
    if (bar_) InvalidateRect(bar_, nullptr, TRUE);
}

void Win32UserInterface::historyChanged() {
    if (showHistory_) showHistory_();
}

void Win32UserInterface::focusHistory() {
    if (bar_) SetFocus(GetDlgItem(bar_, IDC_HISTORY));
}

}  // namespace kestro

#include "BarDialog.h"

#include <new>
#include <vector>

#include "Win32Dialogs.h"
#include "Win32Desktop.h"
#include "Win32UserInterface.h"
#include "app/BarWindow.h"
#include "seam/FileError.h"
#include "resource.h"

namespace kestro {

namespace {

// The buttons and their icons, in the order the bar gives them their images.
struct ButtonImage {
    int controlId;
    int iconId;
};
constexpr ButtonImage kButtonImages[] = {
    {IDC_EDIT_BUTTON, IDI_EDIT},       {IDC_TEX_BUTTON, IDI_TEX},
    {IDC_PDF_BUTTON, IDI_PDF},         {IDC_PROMPT_BUTTON, IDI_PROMPT},
    {IDC_ONECLICK_BUTTON, IDI_ONECLICK}, {IDC_SETTINGS_BUTTON, IDI_SETTINGS},
};

bool isBarButton(int id) {
    switch (id) {
        case IDC_EDIT_BUTTON:
        case IDC_CHOOSE_FILE:
        case IDC_TEX_BUTTON:
        case IDC_PDF_BUTTON:
        case IDC_PROMPT_BUTTON:
        case IDC_SETTINGS_BUTTON:
        case IDC_ONECLICK_BUTTON:
            return true;
        default:
            return false;
    }
}

// A string resource in the ANSI code page, or the empty text.
std::string loadString(HINSTANCE resources, UINT id) {
    char buffer[1024];
    // Up to the zero byte: the returned length may count characters.
    return LoadStringA(resources, id, buffer, sizeof buffer) > 0 ? std::string(buffer) : std::string();
}

// Files dropped on the file selection button (which accepts drops itself)
// count as dropped on the bar.
LRESULT CALLBACK forwardDrops(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_DROPFILES) return SendMessageA(GetParent(window), message, wParam, lParam);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, forwardDrops, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

BarDialog::BarDialog(HINSTANCE resources, BarWindow& bar, Win32UserInterface& ui, Win32Desktop& desktop)
    : resources_(resources),
      bar_(bar),
      ui_(ui),
      desktop_(desktop),
      appIcon_(LoadIconA(resources, MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

INT_PTR BarDialog::run() {
    const INT_PTR result = DialogBoxParamA(resources_, MAKEINTRESOURCEA(IDD_BAR), nullptr, procedure,
                                           reinterpret_cast<LPARAM>(this));
    ui_.attachBar(nullptr, nullptr);
    desktop_.setOwner(nullptr);
    window_ = nullptr;
    return result;
}

INT_PTR CALLBACK BarDialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        reinterpret_cast<BarDialog*>(lParam)->window_ = window;
    }
    auto* self = reinterpret_cast<BarDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (self == nullptr) return FALSE;
    try {
        return self->handle(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        // No exception may leave through the Windows message loop.
        self->bar_.dispatch([] { throw MemoryError(); });
        return TRUE;
    }
}

bool BarDialog::command(int id, int code) {
    if (id == IDC_HISTORY) {
        if (code != CBN_SELENDOK) return false;
        HWND box = GetDlgItem(window_, IDC_HISTORY);
        const int index = static_cast<int>(SendMessageA(box, CB_GETCURSEL, 0, 0));
        bar_.dispatch([this, index] { bar_.pickHistoryEntry(index); });
        return true;
    }
    if (id == IDOK) {
        // Enter in the history box must not end the bar.
        if (!historyHasFocus()) end(IDOK);
        return true;
    }
    if (id == IDCANCEL) {
        end(IDCANCEL);
        return true;
    }
    if (isBarButton(id) && code == BN_CLICKED) {
        bar_.press(static_cast<BarControl>(id));
        return true;
    }
    return false;
}

INT_PTR BarDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            initialise();
            return TRUE;  // the focus goes to the first tab stop, the history box

        case WM_SYSCOMMAND:
            if (BarWindow::isAboutCommand(static_cast<int>(LOWORD(wParam)))) {
                runAboutDialog(resources_, window_);
                return TRUE;
            }
            return FALSE;

        case WM_PAINT:
            return paintMinimised() ? TRUE : FALSE;

        case WM_QUERYDRAGICON:
            return reinterpret_cast<INT_PTR>(appIcon_);

        case WM_DROPFILES:
            dropFiles(reinterpret_cast<HDROP>(wParam));
            return TRUE;

        case WM_NOTIFY:
            return tooltipText(reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;

        case WM_COMMAND:
            return command(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;

        case WM_CLOSE:
            end(IDCANCEL);
            return TRUE;

        case WM_QUERYENDSESSION:
            // Written now, while Windows still waits for the answer; the bar
            // ends when the session really ends.
            bar_.saveHistory();
            SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;

        case WM_ENDSESSION:
            if (wParam) end(IDCANCEL);
            return TRUE;
    }
    return FALSE;
}

void BarDialog::initialise() {
    ui_.attachBar(window_, [this] { showHistory(); });
    desktop_.setOwner(window_);
    // A system-modal dialog stays above all other windows; said outright,
    // since not every Windows implementation derives it from the template.
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    addAboutMenuItem();
    SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(appIcon_));
    SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(appIcon_));
    setButtonImages();
    // Settings, history and the start-up document, in the bar's order; it
    // shows the history and repaints the bar.
    bar_.dispatch([this] { bar_.initialise(); });
    DragAcceptFiles(window_, TRUE);
    SetWindowSubclass(GetDlgItem(window_, IDC_CHOOSE_FILE), forwardDrops, 0, 0);
    enableTooltips();
}

void BarDialog::addAboutMenuItem() {
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (menu == nullptr) return;
    const std::string text = loadString(resources_, IDS_ABOUTBOX);
    if (text.empty()) return;
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text.c_str());
}

void BarDialog::setButtonImages() {
    for (const ButtonImage& image : kButtonImages) {
        HICON icon = LoadIconA(resources_, MAKEINTRESOURCEA(image.iconId));
        SendDlgItemMessageA(window_, image.controlId, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    }
}

void BarDialog::enableTooltips() {
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                               resources_, nullptr);
    if (tooltip_ == nullptr) return;
    // Every child control is a tool named by its window; the text is asked
    // for when it is shown.
    for (HWND child = GetWindow(window_, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        TOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(child);
        tool.lpszText = LPSTR_TEXTCALLBACKA;
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

bool BarDialog::tooltipText(NMHDR* header) {
    if (header == nullptr || header->code != TTN_NEEDTEXTA) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOA*>(header);
    if ((info->uFlags & TTF_IDISHWND) == 0) return false;
    const int id = GetDlgCtrlID(reinterpret_cast<HWND>(header->idFrom));
    if (id == 0) return false;
    tooltipBuffer_ = loadString(resources_, static_cast<UINT>(id));
    info->lpszText = tooltipBuffer_.data();
    info->szText[0] = '\0';
    info->hinst = nullptr;
    return true;
}

bool BarDialog::paintMinimised() {
    if (!IsIconic(window_)) return false;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    SendMessageA(window_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window_, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, appIcon_);
    EndPaint(window_, &paint);
    return true;
}

void BarDialog::dropFiles(HDROP drop) {
    // Only the first file of a drop counts. Its name is read whole, however
    // long: a name cut to a buffer could end in ".tex" where the file's
    // does not, and the bar refuses one too long to use.
    const UINT size = DragQueryFileA(drop, 0, nullptr, 0);
    std::vector<char> path(size + 1, '\0');
    const UINT length = size == 0 ? 0 : DragQueryFileA(drop, 0, path.data(), size + 1);
    DragFinish(drop);
    if (length == 0) return;
    // Up to the zero byte: the returned length may count characters.
    const std::vector<std::string> paths{std::string(path.data())};
    bar_.dispatch([this, &paths] { bar_.acceptDroppedFile(paths); });
}

void BarDialog::showHistory() {
    HWND box = GetDlgItem(window_, IDC_HISTORY);
    if (box == nullptr) return;
    const HistoryBox& history = bar_.history();
    SendMessageA(box, WM_SETREDRAW, FALSE, 0);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& entry : history.entries()) {
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(history.selection()), 0);
    SetWindowTextA(box, history.editText().c_str());
    SendMessageA(box, CB_SETEXTENDEDUI, history.extendedUi() ? TRUE : FALSE, 0);
    SendMessageA(box, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box, nullptr, TRUE);
}

bool BarDialog::historyHasFocus() const {
    HWND focus = GetFocus();
    HWND box = GetDlgItem(window_, IDC_HISTORY);
    return focus != nullptr && box != nullptr && (focus == box || IsChild(box, focus));
}

void BarDialog::end(INT_PTR result) {
    bar_.endRun();
    EndDialog(window_, result);
}

}  // namespace kestro

// The bar's window: dialog template 146 run modally, its message table
// routed to the BarWindow operations.
#pragma once

#include <string>

#include "Win32Api.h"

namespace kestro {

class BarWindow;
class Win32Desktop;
class Win32UserInterface;

class BarDialog {
public:
    BarDialog(HINSTANCE resources, BarWindow& bar, Win32UserInterface& ui, Win32Desktop& desktop);
    BarDialog(const BarDialog&) = delete;
    BarDialog& operator=(const BarDialog&) = delete;

    // Creates the window without owner, runs it until it ends, and returns
    // the value the run ended with.
    INT_PTR run();

    HWND window() const { return window_; }
    HICON appIcon() const { return appIcon_; }

    // Shows the history model in the combo box: its entries, the selection
    // and the edit text.
    void showHistory();

private:
    static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    // A WM_COMMAND from control `id` with notification `code`; false when
    // the bar does not handle it.
    bool command(int id, int code);

    void initialise();
    void addAboutMenuItem();
    void setButtonImages();
    void enableTooltips();
    bool paintMinimised();
    void dropFiles(HDROP drop);
    bool tooltipText(NMHDR* header);
    void end(INT_PTR result);
    bool historyHasFocus() const;

    HINSTANCE resources_;
    BarWindow& bar_;
    Win32UserInterface& ui_;
    Win32Desktop& desktop_;
    HWND window_ = nullptr;
    HWND tooltip_ = nullptr;
    HICON appIcon_ = nullptr;
    // The text a tooltip shows lives here until the next request.
    std::string tooltipBuffer_;
};

}  // namespace kestro

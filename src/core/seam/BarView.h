// What the core needs of the bar's window while it works. A front end
// without a window (kestro-build) has no view.
#pragma once

namespace kestro {

class BarView {
public:
    virtual ~BarView() = default;

    // Calls nest; the cursor returns when the outermost ends.
    virtual void setWaitCursor(bool on) = 0;
    // The bar's whole client area is to be erased and repainted.
    virtual void repaint() = 0;
    // The history list, its edit text or its selection changed.
    virtual void historyChanged() = 0;
    // The history box is to take the keyboard focus.
    virtual void focusHistory() = 0;
};

}  // namespace kestro

#include "document/HistoryBox.h"

namespace kestro {

void HistoryBox::insert(int index, const std::string& text) {
    if (index < 0 || index > count()) index = count();
    entries_.insert(entries_.begin() + index, text);
    if (selection_ >= index) ++selection_;
}

void HistoryBox::remove(int index) {
    if (index < 0 || index >= count()) return;
    entries_.erase(entries_.begin() + index);
    if (selection_ == index) {
        selection_ = -1;
    } else if (selection_ > index) {
        --selection_;
    }
}

int HistoryBox::findString(int startAfter, const std::string& prefix) const {
    const int n = count();
    if (n == 0) return -1;
    const int first = (startAfter < 0 || startAfter >= n) ? 0 : startAfter + 1;
    for (int step = 0; step < n; ++step) {
        const int i = (first + step) % n;
        if (startsWithText(codePage_, entries_[static_cast<std::size_t>(i)], prefix, ignoreCase_)) {
            return i;
        }
    }
    return -1;
}

int HistoryBox::selectString(int startAfter, const std::string& prefix) {
    const int found = findString(startAfter, prefix);
    if (found >= 0) setSelection(found);
    return found;
}

void HistoryBox::setSelection(int index) {
    if (index < 0 || index >= count()) {
        selection_ = -1;
        return;
    }
    selection_ = index;
    editText_ = entries_[static_cast<std::size_t>(index)];
}

}  // namespace kestro

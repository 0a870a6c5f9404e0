// The history box: recent documents, the most recent on top, as the combo
// box of the bar holds them. Front ends show this model; it is the only copy.
#pragma once

#include <string>
#include <vector>

#include "text/CodePage.h"

namespace kestro {

class HistoryBox {
public:
    HistoryBox(CodePage codePage, bool ignoreCase) : codePage_(codePage), ignoreCase_(ignoreCase) {}

    int count() const { return static_cast<int>(entries_.size()); }
    const std::string& text(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    const std::vector<std::string>& entries() const { return entries_; }

    void insert(int index, const std::string& text);
    void remove(int index);

    // The combo box search: the first entry after `startAfter` that begins
    // with `prefix` (without case where entries are matched so), going on
    // from the top after the end; -1 starts at the top. Returns -1 when
    // no entry matches. An empty prefix matches the first entry searched.
    int findString(int startAfter, const std::string& prefix) const;

    // Selects the entry findString finds and shows it in the edit field;
    // returns its index or -1 (then the selection is unchanged).
    int selectString(int startAfter, const std::string& prefix);

    int selection() const { return selection_; }
    void setSelection(int index);
    const std::string& editText() const { return editText_; }
    void setEditText(const std::string& text) { editText_ = text; }

    bool extendedUi() const { return extendedUi_; }
    void setExtendedUi(bool on) { extendedUi_ = on; }

private:
    CodePage codePage_;
    bool ignoreCase_;
    std::vector<std::string> entries_;
    std::string editText_;
    int selection_ = -1;
    bool extendedUi_ = false;
};

}  // namespace kestro

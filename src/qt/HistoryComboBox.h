// The history box: an editable combo box whose list opens with the arrow
// keys (the selection never changes while the list is closed, so a stray
// key or wheel turn cannot switch the document) and whose edit field leaves
// dropped files to the bar. Only an entry chosen in the list counts: text
// typed into the field is never taken for an entry.
#pragma once

#include <QComboBox>

#include <string>
#include <vector>

namespace kestro {

class HistoryComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit HistoryComboBox(QWidget* parent = nullptr);

    // Shows the history: entries top first, the selected one (-1: none) and
    // the edit text.
    void showHistory(const std::vector<std::string>& entries, int selection, const std::string& editText);

    void hidePopup() override;

signals:
    // The user closed the list with an entry chosen.
    void entryChosen(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    bool handleKey(QKeyEvent* event);

    // Set while the list closes: the entry Qt reports then was chosen in
    // the list, not matched from typed text.
    bool listClosing_ = false;
};

}  // namespace kestro

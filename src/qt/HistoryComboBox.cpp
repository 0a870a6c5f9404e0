#include "HistoryComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <QAbstractItemView>
#include <QWheelEvent>

#include "QtText.h"

namespace kestro {

namespace {

constexpr int kVisibleEntries = 17;

}  // namespace

HistoryComboBox::HistoryComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setDuplicatesEnabled(true);
    setMaxVisibleItems(kVisibleEntries);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lineEdit()->setAlignment(Qt::AlignRight);
    lineEdit()->setAcceptDrops(false);
    lineEdit()->installEventFilter(this);
    // Typed text is never a document; completing it from the list would
    // only pretend it is.
    setCompleter(nullptr);
    // Qt also reports an entry as activated when the typed text equals it
    // and Enter is pressed or the focus leaves; that is no choice.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!listClosing_) return;
        listClosing_ = false;
        emit entryChosen(index);
    });
}

void HistoryComboBox::hidePopup() {
    // Qt closes the list first and then reports the entry chosen in it.
    listClosing_ = view()->isVisible();
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { listClosing_ = false; });
}

void HistoryComboBox::showHistory(const std::vector<std::string>& entries, int selection,
                                  const std::string& editText) {
    const QSignalBlocker blocker(this);
    clear();
    for (const std::string& entry : entries) addItem(fromBytes(entry));
    setCurrentIndex(selection >= 0 && selection < count() ? selection : -1);
    setEditText(fromBytes(editText));
}

bool HistoryComboBox::handleKey(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_PageDown:
    case Qt::Key_PageUp:
        showPopup();
        return true;
    case Qt::Key_F4:
        return true;
    default:
        return false;
    }
}

bool HistoryComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void HistoryComboBox::keyPressEvent(QKeyEvent* event) {
    if (handleKey(event)) return;
    QComboBox::keyPressEvent(event);
}

void HistoryComboBox::wheelEvent(QWheelEvent* event) { event->ignore(); }

}  // namespace kestro

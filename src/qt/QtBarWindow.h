// The bar window: the row of icon buttons, the history box and the file
// selection button, laid out as the bar's dialog template places them. The
// core's BarWindow owns the behaviour; this window routes the user to it.
#pragma once

#include <QList>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "DialogUnits.h"
#include "app/BarWindow.h"

class QLabel;
class QPushButton;

namespace kestro {

class ConsoleProcesses;
class HistoryComboBox;
class InputBlocker;
class QtUserInterface;

class QtBarWindow : public QWidget {
    Q_OBJECT

public:
    explicit QtBarWindow(QWidget* parent = nullptr);

    // Connects the window to the behaviour, before start().
    void attach(BarWindow& core, ConsoleProcesses& processes, QtUserInterface& ui);
    // Loads the settings and the history, places the bar near the top of
    // the screen and shows it.
    void start();

    QPushButton* button(BarControl control) const;
    HistoryComboBox* historyBox() const { return history_; }
    QLabel* historyLabel() const { return historyLabel_; }
    InputBlocker* inputBlocker() const { return blocker_; }
    // True while an operation of the bar runs (a road, a dialog, a drop).
    bool busy() const { return busy_; }

    // The tooltip the bar shows for a control ID; empty for none.
    static QString tooltipFor(int controlId);

    // Shows the version box.
    void showAbout();

public slots:
    // Called when a road (TeX, PDF, one click) has ended, with whether it
    // failed: the console then stays open at the error, or goes.
    void roadEnded(bool failed);

signals:
    // An operation of the bar has run to its end.
    void operationFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QPushButton* addButton(BarControl control, const QString& caption, int iconId);
    void layOut();
    void placeNearTopOfScreen();
    void refreshHistory();
    // Presses a button of the bar; the buttons that start a road tell the
    // console when it begins and how it ended.
    void press(BarControl control);
    // Runs an operation of the core; a close request that came meanwhile is
    // carried out when it is done.
    void run(const std::function<void()>& operation);

    BarWindow* core_ = nullptr;
    ConsoleProcesses* processes_ = nullptr;
    HistoryComboBox* history_ = nullptr;
    QLabel* historyLabel_ = nullptr;
    std::map<BarControl, QPushButton*> buttons_;
    QList<QWidget*> controls_;  // in template order
    InputBlocker* blocker_ = nullptr;
    bool busy_ = false;
    bool closePending_ = false;
    DialogUnits units_{1.0, 1.0};
};

// The local paths of the file URLs of a drop, in their order; an entry for
// a URL that names no local file is left out.
std::vector<std::string> droppedPaths(const QList<QUrl>& urls);

}  // namespace kestro

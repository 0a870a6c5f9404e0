#include "QtBarWindow.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "BarIcons.h"
#include "ConsoleProcesses.h"
#include "QtText.h"
#include "TemplateLayout.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "QtAboutDialog.h"
#include "QtUserInterface.h"

namespace kestro {

namespace {

// The history box's height when closed: the template's includes its list.
constexpr int kClosedHistoryHeight = 14;

// The icons of the bar's buttons; 0: a caption instead.
int iconOf(BarControl control) {
    switch (control) {
    case BarControl::Edit: return 133;
    case BarControl::Tex: return 131;
    case BarControl::Pdf: return 135;
    case BarControl::CommandPrompt: return 136;
    case BarControl::Settings: return 139;
    case BarControl::OneClick: return 138;
    default: return 0;
    }
}

// Qt shows a label's "&A" as the mnemonic A, as the window menu did.
QString menuText(const std::string& text) { return fromBytes(text); }

}  // namespace

QtBarWindow::QtBarWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName("bar");
    const DialogTemplate& form = dialogTemplate(kBarTemplate);
    setWindowTitle(shownCaption(form));
    setWindowIcon(barIcon(128));
    setAcceptDrops(true);

    // Template order, which is also the tab order: the history box first.
    for (const TemplateControl& control : form.controls) {
        if (control.kind == ControlKind::ComboBox) {
            history_ = new HistoryComboBox(this);
            history_->setObjectName("history1017");
            controls_ << history_;
        } else if (control.kind == ControlKind::Text) {
            historyLabel_ = new QLabel(shownText(control), this);
            historyLabel_->setObjectName("historyLabel");
            controls_ << historyLabel_;
        } else {
            const auto button = static_cast<BarControl>(control.id);
            controls_ << addButton(button, shownText(control), iconOf(button));
        }
    }

    blocker_ = new InputBlocker(this);
    layOut();
}

QPushButton* QtBarWindow::addButton(BarControl control, const QString& caption, int iconId) {
    auto* button = new QPushButton(this);
    const int id = static_cast<int>(control);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setAccessibleName(caption);
    if (iconId != 0) {
        // The caption stays with the button for screen readers; the button
        // shows its icon only.
        button->setIcon(barIcon(iconId));
    } else {
        button->setText(caption);
    }
    button->setToolTip(tooltipFor(id));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, control] { run([this, control] { press(control); }); });
    buttons_[control] = button;
    return button;
}

QString QtBarWindow::tooltipFor(int controlId) {
    // The stored texts begin with a line break (a blank first line in the
    // tip); the tip shows the words alone.
    QString text = fromBytes(BarWindow::tooltipText(PlatformRules::native(), controlId));
    while (text.startsWith(QLatin1Char('\n'))) text.remove(0, 1);
    return text;
}

void QtBarWindow::layOut() {
    TemplateLayout layout(this, dialogTemplate(kBarTemplate), controls_);
    layout.setHeight(history_, kClosedHistoryHeight);
    units_ = layout.apply();

    for (const auto& [control, button] : buttons_) {
        if (iconOf(control) == 0) continue;
        const int side = qMax(16, qMin(button->width(), button->height()) - 8);
        button->setIconSize(QSize(side, side));
    }
}

void QtBarWindow::attach(BarWindow& core, ConsoleProcesses& processes, QtUserInterface& ui) {
    core_ = &core;
    processes_ = &processes;
    connect(&ui, &QtUserInterface::historyModelChanged, this, &QtBarWindow::refreshHistory);
    connect(&ui, &QtUserInterface::historyFocusRequested, history_, [this] { history_->setFocus(); });
    connect(&processes, &ConsoleProcesses::toolStarted, blocker_, &InputBlocker::engage);
    connect(&processes, &ConsoleProcesses::toolFinished, blocker_, &InputBlocker::release);
    // Queued: the box is refilled only after its own signal has returned.
    connect(history_, &HistoryComboBox::entryChosen, this,
            [this](int index) { run([this, index] { core_->pickHistoryEntry(index); }); }, Qt::QueuedConnection);
}

void QtBarWindow::start() {
    core_->initialise();
    placeNearTopOfScreen();
    show();
    raise();
    activateWindow();
    history_->setFocus();
}

void QtBarWindow::placeNearTopOfScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    const QRect available = screen->availableGeometry();
    const DialogTemplate& form = dialogTemplate(kBarTemplate);
    int left = available.left() + units_.x(form.left);
    int top = available.top() + units_.y(form.top);
    // On a narrow screen the bar keeps to the screen rather than to the
    // template's place.
    left = qMax(available.left(), qMin(left, available.right() - frameGeometry().width()));
    top = qMax(available.top(), qMin(top, available.bottom() - frameGeometry().height()));
    move(left, top);
}

void QtBarWindow::refreshHistory() {
    const HistoryBox& box = core_->history();
    history_->showHistory(box.entries(), box.selection(), box.editText());
}

QPushButton* QtBarWindow::button(BarControl control) const {
    const auto found = buttons_.find(control);
    return found == buttons_.end() ? nullptr : found->second;
}

void QtBarWindow::press(BarControl control) {
    const bool road = control == BarControl::Tex || control == BarControl::Pdf || control == BarControl::OneClick;
    if (road) processes_->beginRoad();
    core_->press(control);
    if (road) roadEnded(!core_->lastRoad().succeeded);
}

void QtBarWindow::roadEnded(bool failed) { processes_->endRoad(failed); }

void QtBarWindow::run(const std::function<void()>& operation) {
    if (core_ == nullptr || busy_) return;
    busy_ = true;
    operation();
    busy_ = false;
    emit operationFinished();
    if (closePending_) {
        closePending_ = false;
        close();
    }
}

void QtBarWindow::showAbout() {
    QtAboutDialog about(this);
    about.exec();
}

void QtBarWindow::closeEvent(QCloseEvent* event) {
    // Nothing may end the bar under a running road: the request waits.
    if (busy_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    if (core_ != nullptr) core_->endRun();
    // A console left open at an error goes with the bar.
    if (processes_ != nullptr) processes_->hideConsole();
    event->accept();
}

void QtBarWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the button that has the focus; elsewhere (the
        // history box) it does nothing, and never ends the bar.
        if (auto* focused = qobject_cast<QPushButton*>(focusWidget())) focused->click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void QtBarWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.setObjectName("barMenu");
    QAction* about = menu.addAction(menuText(BarWindow::aboutMenuText()));
    connect(about, &QAction::triggered, this, &QtBarWindow::showAbout, Qt::QueuedConnection);
    // A road that succeeds hides its console: its warnings can be read again.
    menu.addSeparator();
    QAction* console = menu.addAction(QStringLiteral("前回の実行の出力を表示(&C)"));
    console->setEnabled(processes_ != nullptr && processes_->hasOutput());
    connect(console, &QAction::triggered, this, [this] { processes_->showConsole(); });
    menu.exec(event->globalPos());
}

std::vector<std::string> droppedPaths(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QByteArray path = QFile::encodeName(url.toLocalFile());
        paths.emplace_back(path.constData(), static_cast<std::size_t>(path.size()));
    }
    return paths;
}

void QtBarWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && !droppedPaths(event->mimeData()->urls()).empty()) {
        event->acceptProposedAction();
    }
}

void QtBarWindow::dragMoveEvent(QDragMoveEvent* event) { event->acceptProposedAction(); }

void QtBarWindow::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths = droppedPaths(event->mimeData()->urls());
    if (paths.empty()) return;
    event->acceptProposedAction();
    // Handled once the drop itself has ended, so a message box does not
    // hold up the file manager that dragged.
    QTimer::singleShot(0, this, [this, paths = std::move(paths)] {
        run([this, &paths] { core_->acceptDroppedFile(paths); });
    });
}

}  // namespace kestro

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

struct ButtonPlace {
    BarControl control;
    int left, top, width, height;
};

// The bar's place on the screen, in dialog units from the top left corner.
constexpr int kTemplateLeft = 400;
constexpr int kTemplateTop = 50;

// Qt shows a label's "&A" as the mnemonic A, as the window menu did.
QString menuText(const std::string& text) { return fromBytes(text); }

}  // namespace

QtBarWindow::QtBarWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint) {
    setObjectName("bar");
    setWindowTitle(QStringLiteral("Pelvane: Drag & Drop TeX file"));
    setWindowIcon(barIcon(128));
    setAcceptDrops(true);

    // Template order, which is also the tab order: the history box first.
    history_ = new HistoryComboBox(this);
    history_->setObjectName("history1017");
    addButton(BarControl::Edit, QStringLiteral("Edit"), 133);
    addButton(BarControl::ChooseFile, QStringLiteral("ﾌｧｲﾙ選択"), 0);
    addButton(BarControl::Tex, QStringLiteral("TeX"), 131);
    addButton(BarControl::Pdf, QStringLiteral("PDF\nRead"), 135);
    addButton(BarControl::CommandPrompt, QStringLiteral("コマンド\nプロンプト"), 136);
    addButton(BarControl::Settings, QStringLiteral("設定"), 139);
    addButton(BarControl::OneClick, QStringLiteral("PDF\nRead"), 138);
    historyLabel_ = new QLabel(QStringLiteral("履歴"), this);
    historyLabel_->setObjectName("historyLabel");

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
    QString text = fromBytes(BarWindow::tooltipText(controlId));
    while (text.startsWith(QLatin1Char('\n'))) text.remove(0, 1);
    return text;
}

void QtBarWindow::layOut() {
    static constexpr ButtonPlace kIconButtons[] = {
        {BarControl::Edit, 0, 0, 22, 21},         {BarControl::Tex, 54, 0, 22, 21},
        {BarControl::Pdf, 78, 0, 22, 21},         {BarControl::CommandPrompt, 187, 0, 22, 21},
        {BarControl::Settings, 213, 0, 22, 21},   {BarControl::OneClick, 30, 0, 22, 21},
    };
    TemplateLayout layout(this);
    // The box's own height (the template's 186 units include the open list).
    layout.add(history_, 24, 23, 162, 14);
    for (const ButtonPlace& place : kIconButtons) {
        layout.add(buttons_.at(place.control), place.left, place.top, place.width, place.height);
    }
    layout.add(buttons_.at(BarControl::ChooseFile), 190, 23, 45, 12);
    layout.add(historyLabel_, 4, 25, 16, 8);
    units_ = layout.apply(235, 38);

    for (const ButtonPlace& place : kIconButtons) {
        QPushButton* button = buttons_.at(place.control);
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
    int left = available.left() + units_.x(kTemplateLeft);
    int top = available.top() + units_.y(kTemplateTop);
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

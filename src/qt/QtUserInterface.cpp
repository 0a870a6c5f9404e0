#include "QtUserInterface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QStyle>
#include <QWidget>

#include <cstdio>

#include "BarIcons.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "QtText.h"
#include "WindowPlacement.h"

namespace kestro {

namespace {

QMessageBox::Icon iconOf(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Exclamation: return QMessageBox::Warning;
    case BoxIcon::Stop: return QMessageBox::Critical;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The words the same boxes have on Windows, whatever the desktop's language
// (the texts above them are Japanese anyway), and no pictures on them.
void labelButton(QMessageBox& box, QMessageBox::StandardButton which, const QString& text) {
    QAbstractButton* button = box.button(which);
    button->setText(text);
    button->setIcon(QIcon());
}

}  // namespace

QWidget* QtUserInterface::dialogParent() const {
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return bar_;
}

Answer QtUserInterface::showMessage(const MessageBoxRequest& request) {
    if (boxesOnStandardError_) {
        std::fprintf(stderr, "%s: %s\n", request.caption.c_str(), request.text.c_str());
        return Answer::Cancel;
    }
    QWidget* owner = request.owner == BoxOwner::Bar ? bar_ : dialogParent();
    PlacedBesideBar<QMessageBox> box(owner);
    box.setObjectName("kestroMessageBox");
    box.setWindowTitle(fromBytes(request.caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(fromBytes(request.text));
    box.setIcon(iconOf(request.icon));
    if (request.icon != BoxIcon::None) {
        const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        const qreal ratio = owner != nullptr ? owner->devicePixelRatioF() : qApp->devicePixelRatio();
        box.setIconPixmap(messageBoxIcon(request.icon == BoxIcon::Stop).pixmap(QSize(side, side), ratio));
    }
    if (request.buttons == BoxButtons::OkCancel) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Cancel);
        labelButton(box, QMessageBox::Cancel, QStringLiteral("キャンセル"));
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    labelButton(box, QMessageBox::Ok, QStringLiteral("OK"));
    if (request.systemModal) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
    // Only OK counts as OK; Cancel, Escape and the close box answer Cancel.
    return box.clickedButton() == box.button(QMessageBox::Ok) ? Answer::Ok : Answer::Cancel;
}

std::optional<std::string> QtUserInterface::chooseFile(const FileDialogRequest& request) {
    PlacedBesideBar<QFileDialog> dialog(dialogParent());
    dialog.setObjectName("kestroFileDialog");
    // The same dialog on every desktop, which the tests can also drive.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // A program on Linux is any file with an execute bit, whatever its name.
    dialog.setNameFilter(request.kind == FileKind::TexDocument ? QStringLiteral("TeX file (*.tex)")
                                                               : QStringLiteral("All files (*)"));
    // Qt's side bar is drawn narrower than its place names in Japanese.
    if (auto* places = dialog.findChild<QListView*>(QStringLiteral("sidebar"))) {
        places->setMinimumWidth(places->sizeHintForColumn(0) + 2 * places->frameWidth() + 4);
    }
    if (request.purpose == FileChoice::Document) dialog.setDefaultSuffix(QStringLiteral("tex"));
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty()) return std::nullopt;
    const QByteArray path = QFile::encodeName(chosen.front());
    return std::string(path.constData(), static_cast<std::size_t>(path.size()));
}

bool QtUserInterface::runPaperSizeDialog(PaperSizeDialog& model) {
    QtPaperSizeDialog dialog(model, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

bool QtUserInterface::runIndexOptionsDialog(IndexOptionsDialog& model) {
    QtIndexOptionsDialog dialog(model, dialogParent());
    return dialog.exec() == QDialog::Accepted;
}

void QtUserInterface::runSettingsDialog(SettingsDialog& model) {
    QtSettingsDialog dialog(model, bar_);
    dialog.exec();
}

void QtUserInterface::setWaitCursor(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitCursorDepth_;
    } else if (waitCursorDepth_ > 0) {
        QApplication::restoreOverrideCursor();
        --waitCursorDepth_;
    }
}

void QtUserInterface::repaint() {
    if (bar_ != nullptr) bar_->update();
}

void QtUserInterface::historyChanged() { emit historyModelChanged(); }

void QtUserInterface::focusHistory() { emit historyFocusRequested(); }

}  // namespace kestro

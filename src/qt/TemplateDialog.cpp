#include "TemplateDialog.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace kestro {

Qt::WindowFlags templateDialogFrame() {
    return Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
}

QLabel* staticText(const QString& text, QWidget* parent, bool wrap) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

OkCancelButtons addOkCancelButtons(QDialog* dialog) {
    auto* ok = new QPushButton(QStringLiteral("OK"), dialog);
    ok->setObjectName("button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), dialog);
    cancel->setObjectName("button2");
    // Enter presses the push button that has the focus, OK everywhere else.
    ok->setAutoDefault(true);
    cancel->setAutoDefault(true);
    // accept() is virtual: a dialog's own accept() runs.
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {ok, cancel};
}

}  // namespace kestro

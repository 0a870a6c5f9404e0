#include "QtIndexOptionsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "DialogUnits.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro {

namespace {

QLabel* staticText(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

QtIndexOptionsDialog::QtIndexOptionsDialog(IndexOptionsDialog& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      model_(model) {
    setObjectName("indexOptionsDialog");
    setWindowTitle(QStringLiteral("MakeIndex のオプション"));

    // Template order, which is the tab order.
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("button1");
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName("button2");
    cancel->setAutoDefault(false);
    options_ = new QLineEdit(this);
    options_->setObjectName("edit1121");
    QLabel* explanation = staticText(
        QStringLiteral("索引作成 MakeIndex のコマンド mendex のオプションを入力して下さい。 \n\n"
                       "（例） 索引用スタイルファイル myindex.ist, を組み込むなら、次を入力して下さい。"),
        this);
    QLabel* example = staticText(QStringLiteral("-s myindex"), this);
    neverShow_ = new QCheckBox(QStringLiteral("今後、自動ではこのメッセージを表示しない。"), this);
    neverShow_->setObjectName("check1012");
    QLabel* otherOptions = staticText(QStringLiteral("（他のオプションはコマンドラインから mendex -? で表示）"), this);
    QLabel* alsoFrom = staticText(QStringLiteral(" [設定] → [MakeIndex のオプション] でも設定可能"), this);

    DialogUnits du(font());
    du = du.stretchedToFit(14, qMax(ok->minimumSizeHint().height(), options_->sizeHint().height()));
    du = du.widenedToFit(50, cancel->sizeHint().width());
    du.place(ok, 134, 7, 50, 14);
    du.place(cancel, 134, 24, 50, 14);
    du.place(options_, 18, 63, 149, 14);
    du.place(explanation, 9, 9, 121, 39);
    du.place(example, 21, 52, 39, 8);
    du.place(neverShow_, 12, 99, 144, 10);
    du.place(otherOptions, 11, 84, 166, 8);
    du.place(alsoFrom, 11, 116, 155, 8);
    int rightEdge = du.x(191);
    for (QWidget* text : {static_cast<QWidget*>(example), static_cast<QWidget*>(neverShow_),
                          static_cast<QWidget*>(otherOptions), static_cast<QWidget*>(alsoFrom)}) {
        if (text->sizeHint().width() > text->width()) text->resize(text->sizeHint().width(), text->height());
        rightEdge = qMax(rightEdge, text->geometry().right() + du.x(4));
    }
    setFixedSize(rightEdge, du.y(136));

    connect(ok, &QPushButton::clicked, this, &QtIndexOptionsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    options_->setText(QString::fromUtf8(model_.optionsText.data(), static_cast<qsizetype>(model_.optionsText.size())));
    neverShow_->setChecked(model_.neverShow == 1);
    ok->setFocus();
}

void QtIndexOptionsDialog::accept() {
    const QByteArray text = options_->text().toUtf8();
    model_.accept(std::string(text.constData(), static_cast<std::size_t>(text.size())), neverShow_->isChecked());
    QDialog::accept();
}

}  // namespace kestro

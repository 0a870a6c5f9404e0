#include "QtIndexOptionsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "QtText.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro {

QtIndexOptionsDialog::QtIndexOptionsDialog(IndexOptionsDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("indexOptionsDialog");
    setWindowTitle(QStringLiteral("MakeIndex のオプション"));

    // Template order, which is the tab order.
    const auto [ok, cancel] = addOkCancelButtons(this);
    options_ = new QLineEdit(this);
    options_->setObjectName("edit1121");
    QLabel* explanation = staticText(
        QStringLiteral("索引作成 MakeIndex のコマンド mendex のオプションを入力して下さい。 \n\n"
                       "（例） 索引用スタイルファイル myindex.ist, を組み込むなら、次を入力して下さい。"),
        this, true);
    QLabel* example = staticText(QStringLiteral("-s myindex"), this);
    neverShow_ = new QCheckBox(QStringLiteral("今後、自動ではこのメッセージを表示しない。"), this);
    neverShow_->setObjectName("check1012");
    QLabel* otherOptions = staticText(QStringLiteral("（他のオプションはコマンドラインから mendex -? で表示）"), this);
    QLabel* alsoFrom = staticText(QStringLiteral(" [設定] → [MakeIndex のオプション] でも設定可能"), this);

    TemplateLayout layout(this);
    layout.add(ok, 134, 7, 50, 14);
    layout.add(cancel, 134, 24, 50, 14);
    layout.add(options_, 18, 63, 149, 14);
    layout.add(explanation, 9, 9, 121, 39);
    layout.add(example, 21, 52, 39, 8);
    layout.add(neverShow_, 12, 99, 144, 10);
    layout.add(otherOptions, 11, 84, 166, 8);
    layout.add(alsoFrom, 11, 116, 155, 8);
    layout.apply(191, 136);

    options_->setText(fromBytes(model_.optionsText));
    // Any value but 0 keeps the dialog from asking, so any shows checked.
    neverShow_->setChecked(model_.neverShow != 0);
    ok->setFocus();
}

void QtIndexOptionsDialog::accept() {
    const QByteArray text = options_->text().toUtf8();
    model_.accept(std::string(text.constData(), static_cast<std::size_t>(text.size())), neverShow_->isChecked());
    QDialog::accept();
}

}  // namespace kestro

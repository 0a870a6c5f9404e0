#include "QtPaperSizeDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/PaperSizeDialog.h"

namespace kestro {

namespace {

struct RadioPlace {
    int left, top, width;
};

// The places of the radio buttons, in group order.
constexpr RadioPlace kRadioPlaces[14] = {
    {10, 105, 24}, {38, 105, 24}, {66, 105, 24}, {95, 105, 24}, {128, 105, 41},
    {11, 120, 24}, {38, 120, 24}, {66, 120, 24}, {95, 120, 24}, {128, 120, 33},
    {11, 135, 29}, {49, 135, 29}, {87, 135, 30}, {128, 135, 37},
};

}  // namespace

QtPaperSizeDialog::QtPaperSizeDialog(PaperSizeDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("paperSizeDialog");
    setWindowTitle(QStringLiteral("PDF 作成の用紙サイズ"));

    // Template order, which is the tab order.
    QLabel* intro = staticText(
        QStringLiteral("DVI から PDF に変換する時の用紙の大きさを指定して下さい。\n（デフォルトは A4 です。）"), this, true);
    const auto [ok, cancel] = addOkCancelButtons(this);
    untilRestart_ = new QCheckBox(QStringLiteral("次回起動まで。（設定は保持し、次回リセット）"), this);
    untilRestart_->setObjectName("check1012");
    fromNowOn_ = new QCheckBox(QStringLiteral("今後。（設定は保持）"), this);
    fromNowOn_->setObjectName("check1013");
    QLabel* notShown = staticText(QStringLiteral(" [PDF] ボタンでは、このダイアログを表示しない。"), this);
    QLabel* alsoFrom = staticText(QStringLiteral("メニューの [TeX]→[PDF作成サイズ] でも変更可能"), this);
    sizes_ = new QButtonGroup(this);
    sizes_->setExclusive(true);
    for (int position = 0; position < static_cast<int>(PaperSizeDialog::kChoices.size()); ++position) {
        const PaperChoice& choice = PaperSizeDialog::kChoices[static_cast<std::size_t>(position)];
        auto* radio = new QRadioButton(QString::fromUtf8(choice.caption), this);
        radio->setObjectName(QStringLiteral("radio%1").arg(choice.controlId));
        sizes_->addButton(radio, position);
    }

    TemplateLayout layout(this);
    layout.add(intro, 13, 12, 95, 26);
    layout.add(ok, 113, 7, 50, 14);
    layout.add(cancel, 113, 24, 50, 14);
    layout.add(untilRestart_, 25, 57, 143, 10);
    layout.add(fromNowOn_, 25, 71, 102, 10);
    layout.add(notShown, 10, 45, 142, 8);
    layout.add(alsoFrom, 11, 86, 151, 9);
    for (int position = 0; position < 14; ++position) {
        const RadioPlace& place = kRadioPlaces[position];
        layout.add(sizes_->button(position), place.left, place.top, place.width, 10);
    }
    layout.apply(181, 157);

    // A click toggles the box's own mark first; the model then decides
    // whether the other box is cleared.
    connect(untilRestart_, &QCheckBox::clicked, this, [this] {
        model_.clickSkipUntilRestart();
        showModel();
    });
    connect(fromNowOn_, &QCheckBox::clicked, this, [this] {
        model_.clickSkipFromNowOn();
        showModel();
    });

    if (QAbstractButton* checked = sizes_->button(model_.checkedPosition())) checked->setChecked(true);
    showModel();
    ok->setFocus();
}

void QtPaperSizeDialog::showModel() {
    untilRestart_->setChecked(model_.skipUntilRestartChecked());
    fromNowOn_->setChecked(model_.skipFromNowOnChecked());
}

QRadioButton* QtPaperSizeDialog::radioAt(int position) const {
    return qobject_cast<QRadioButton*>(sizes_->button(position));
}

void QtPaperSizeDialog::accept() {
    model_.accept(sizes_->checkedId());
    QDialog::accept();
}

}  // namespace kestro

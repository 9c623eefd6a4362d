#include "ui/BPDialog.h"

#include "ui/BPReading.h"
#include "ui_BPDialog.h"

#include <QPushButton>
#include <QSettings>

const QString BPDialog::kPrintKey = QStringLiteral("BPDialog/Print");

BPDialog::BPDialog(const QString &stageText, QWidget *parent) : QDialog(parent), ui_(new Ui::BPDialog) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(size());
    ui_->lblStageInfo->setText(tr("Stage: ") + stageText);
    ui_->chkPrint->setChecked(QSettings().value(kPrintKey, false).toBool());
    ui_->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    ui_->txtSBP->setFocus();
}

BPDialog::~BPDialog() = default;

void BPDialog::validate() {
    const int systolic = BPReading::fieldValue(ui_->txtSBP->text());
    const int diastolic = BPReading::fieldValue(ui_->txtDBP->text());
    ui_->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(BPReading::isAcceptable(systolic, diastolic));
}

void BPDialog::accept() {
    const int systolic = BPReading::fieldValue(ui_->txtSBP->text());
    const int diastolic = BPReading::fieldValue(ui_->txtDBP->text());
    if (!BPReading::isAcceptable(systolic, diastolic)) return;
    QDialog::accept();
}

void BPDialog::on_txtSBP_returnPressed() { ui_->txtDBP->setFocus(); }

void BPDialog::on_txtSBP_textChanged(const QString &text) {
    validate();
    if (BPReading::isSystolicComplete(BPReading::fieldValue(text))) ui_->txtDBP->setFocus();
}

void BPDialog::on_txtDBP_textChanged(const QString &) { validate(); }

void BPDialog::on_BPDialog_accepted() {
    sbp_ = BPReading::fieldValue(ui_->txtSBP->text());
    dbp_ = BPReading::fieldValue(ui_->txtDBP->text());
    print_ = ui_->chkPrint->isChecked();
    QSettings().setValue(kPrintKey, print_);
}

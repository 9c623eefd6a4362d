#include "ui/RampDialog.h"

#include "ui/DialogFieldMarks.h"
#include "ui_RampDialog.h"

#include <QSignalBlocker>

RampDialog::RampDialog(const RampProtocol &ramp, const QStringList &takenNames, QWidget *parent)
    : QDialog(parent), ui_(new Ui::RampDialog), name_(ramp.name), takenNames_(takenNames) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui_->txtName->setText(ramp.name);
    editor_.setReferenceVo2(ui_->spnReferenceVo2->value());
    editor_.setRamp(ramp);
    if (ramp.durationMinutes <= 0.0) {
        // A new ramp starts from the walking preset rather than from nothing.
        editor_.setDurationMinutes(ui_->spnDuration->value());
        editor_.chooseGait(Gait::Walking);
    }
    editor_.setChangedCallback([this] { showValues(); });
    showValues();
}

RampDialog::~RampDialog() = default;

RampProtocol RampDialog::ramp() const {
    RampProtocol edited = editor_.ramp();
    edited.name = name_;
    return edited;
}

void RampDialog::accept() {
    const QString name = ui_->txtName->text().trimmed();
    const bool nameOk = !name.isEmpty() && !takenNames_.contains(name);
    const bool durationOk = editor_.durationMinutes() > 0.0;
    const bool speedOk = editor_.finalSpeed() >= 0.0;
    const bool inclineOk = editor_.finalIncline() >= 0.0;
    DialogFieldMarks::mark(ui_->txtName, nameOk);
    DialogFieldMarks::mark(ui_->spnDuration, durationOk);
    DialogFieldMarks::mark(ui_->spnFinalSpeed, speedOk);
    DialogFieldMarks::mark(ui_->spnFinalIncline, inclineOk);
    if (!(nameOk && durationOk && speedOk && inclineOk)) return;
    name_ = name;
    QDialog::accept();
}

void RampDialog::showValues() {
    // The editor has already made the values consistent; the fields only
    // show them, so none of these updates may reach the editor again.
    const struct {
        QDoubleSpinBox *box;
        double value;
    } fields[] = {{ui_->spnDuration, editor_.durationMinutes()},  {ui_->spnInitialSpeed, editor_.initialSpeed()},
                  {ui_->spnFinalSpeed, editor_.finalSpeed()},     {ui_->spnInitialIncline, editor_.initialIncline()},
                  {ui_->spnFinalIncline, editor_.finalIncline()}, {ui_->spnTargetVo2, editor_.targetVo2()}};
    for (const auto &field : fields) {
        const QSignalBlocker blocker(field.box);
        field.box->setValue(field.value);
    }
    ui_->lblSpeedIncrementValue->setText(tr("%1 km/h per minute").arg(editor_.speedIncrement(), 0, 'f', 2));
    ui_->lblInclineIncrementValue->setText(tr("%1 % per minute").arg(editor_.inclineIncrement(), 0, 'f', 2));
}

void RampDialog::on_radWalking_toggled(bool checked) {
    if (checked) editor_.chooseGait(Gait::Walking);
}

void RampDialog::on_radRunning_toggled(bool checked) {
    if (checked) editor_.chooseGait(Gait::Running);
}

void RampDialog::on_chkBySpeed_toggled(bool checked) { editor_.setReachTargetBySpeed(checked); }

void RampDialog::on_spnReferenceVo2_valueChanged(double value) { editor_.setReferenceVo2(value); }

void RampDialog::on_spnDuration_valueChanged(double value) { editor_.setDurationMinutes(value); }

void RampDialog::on_spnInitialSpeed_valueChanged(double value) { editor_.setInitialSpeed(value); }

void RampDialog::on_spnFinalSpeed_valueChanged(double value) { editor_.setFinalSpeed(value); }

void RampDialog::on_spnInitialIncline_valueChanged(double value) { editor_.setInitialIncline(value); }

void RampDialog::on_spnFinalIncline_valueChanged(double value) { editor_.setFinalIncline(value); }

void RampDialog::on_spnTargetVo2_valueChanged(double value) { editor_.setTargetVo2(value); }

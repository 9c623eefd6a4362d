#pragma once
// Creates or edits one treadmill ramp: its duration, end points and the
// oxygen uptake it aims at, kept consistent by the ramp editor computations
// as the user edits any of them.

#include "stress/RampEditor.h"

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class RampDialog;
}

class RampDialog : public QDialog {
    Q_OBJECT
public:
    // `takenNames`: the names of every other protocol and ramp.
    RampDialog(const RampProtocol &ramp, const QStringList &takenNames, QWidget *parent = nullptr);
    ~RampDialog() override;

    // The edited ramp, named as the form says once accepted.
    RampProtocol ramp() const;

    // Refuses an empty or taken name, a duration that is not positive and
    // end points below zero (a target no speed or grade can reach), marking
    // the fields.
    void accept() override;

private Q_SLOTS:
    void on_radWalking_toggled(bool checked);
    void on_radRunning_toggled(bool checked);
    void on_chkBySpeed_toggled(bool checked);
    void on_spnReferenceVo2_valueChanged(double value);
    void on_spnDuration_valueChanged(double value);
    void on_spnInitialSpeed_valueChanged(double value);
    void on_spnFinalSpeed_valueChanged(double value);
    void on_spnInitialIncline_valueChanged(double value);
    void on_spnFinalIncline_valueChanged(double value);
    void on_spnTargetVo2_valueChanged(double value);

private:
    void showValues();

    std::unique_ptr<Ui::RampDialog> ui_;
    RampEditor editor_;
    QString name_;
    QStringList takenNames_;
};

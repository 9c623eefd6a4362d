#pragma once
// The ruler check: shows a box that should measure 50 mm on the screen; the
// user measures it and enters the width found, which corrects the scale of
// every ECG display from then on.

#include <QDialog>

class QDoubleSpinBox;

class RulerCheckDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr double kBoxMm = 50.0;

    explicit RulerCheckDialog(QWidget *parent = nullptr);

    // The box's width in pixels at the current scale.
    int boxPixels() const;
    QDoubleSpinBox *measuredWidth() const { return measured_; }

    // Stores the corrected scale before closing.
    void accept() override;

private:
    QDoubleSpinBox *measured_;
};

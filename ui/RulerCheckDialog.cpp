#include "ui/RulerCheckDialog.h"

#include "ui/DisplayScale.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <cmath>

namespace {

// The 50 mm box itself, drawn at the scale the displays use now.
class RulerBox : public QWidget {
public:
    explicit RulerBox(const RulerCheckDialog *dialog, QWidget *parent) : QWidget(parent), dialog_(dialog) {
        setMinimumHeight(60);
    }
    QSize sizeHint() const override { return QSize(dialog_->boxPixels() + 20, 80); }

protected:
    void paintEvent(QPaintEvent *) override {
        QPainter painter(this);
        const int w = dialog_->boxPixels();
        const QRect box((width() - w) / 2, 10, w, height() - 20);
        painter.fillRect(box, QColor(255, 250, 220));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(box.adjusted(0, 0, -1, -1));
    }

private:
    const RulerCheckDialog *dialog_;
};

}  // namespace

RulerCheckDialog::RulerCheckDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RulerCheckDialog"));
    setWindowTitle(tr("Check the ECG scale"));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(tr("This box should measure 50 mm. Measure its width on the screen with a ruler "
                               "and enter what you find."),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    layout->addWidget(new RulerBox(this, this));
    auto *form = new QFormLayout;
    measured_ = new QDoubleSpinBox(this);
    measured_->setObjectName(QStringLiteral("numMeasuredWidth"));
    measured_->setRange(kBoxMm * DisplayScale::kSmallestCorrection, kBoxMm * DisplayScale::kLargestCorrection);
    measured_->setDecimals(1);
    measured_->setSuffix(tr(" mm"));
    measured_->setValue(kBoxMm);
    form->addRow(tr("Measured width:"), measured_);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &RulerCheckDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &RulerCheckDialog::reject);
    layout->addWidget(buttons);
}

int RulerCheckDialog::boxPixels() const {
    return static_cast<int>(std::lround(kBoxMm * DisplayScale::pixelsPerMm(this)));
}

void RulerCheckDialog::accept() {
    // The box was drawn kBoxMm long by the current scale and measured as
    // `measured` mm, so every millimetre needs kBoxMm / measured as many pixels.
    const double factor = DisplayScale::correction() * kBoxMm / measured_->value();
    if (factor >= DisplayScale::kSmallestCorrection && factor <= DisplayScale::kLargestCorrection)
        DisplayScale::setCorrection(factor);
    QDialog::accept();
}

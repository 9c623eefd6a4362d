#pragma once
// What the live and the browse ECG displays share: the signal shown, which
// leads and in what order, amplitude calibration, paper speed and gain,
// colour scheme, the average-beat inset switch, and the geometry of rows,
// trace area and inset column at the screen's physical scale.

#include "ui/DisplayColorScheme.h"
#include "ui/EcgLeadLayout.h"
#include "ui/EcgPaperScale.h"

#include <QImage>
#include <QWidget>
#include <vector>

class SignalSource;

class EcgDisplayBase : public QWidget {
    Q_OBJECT
public:
    // Left margin for the lead names and calibration pulses.
    static constexpr double kMarginMm = 14.0;

    explicit EcgDisplayBase(QWidget *parent = nullptr);

    // The signal shown; null shows paper only. Not owned; must stay alive
    // while set (set it again, or to null, before it is destroyed).
    void setSource(const SignalSource *source);
    const SignalSource *source() const { return source_; }

    void setLeadShown(int channel, bool shown);
    bool isLeadShown(int channel) const;
    // Sample value that stands for the top of the amplitude range:
    // 2^(bits - 1) - 2 for the device's sample width.
    void setAmplitudeCalibration(int fullScale);
    static int fullScaleForBits(int bits) { return (1 << (bits - 1)) - 2; }
    // Millivolts of one sample unit under the calibration; 0 without a source.
    double millivoltsPerUnit() const;

    // Paper speed (12.5, 25, 50 mm/s) and gain (5, 10, 20 mm/mV); other
    // values are ignored.
    void setSpeed(double mmPerSecond);
    void setGain(double mmPerMillivolt);
    double speed() const { return scale_.mmPerSecond; }
    double gain() const { return scale_.mmPerMillivolt; }

    void setHexaxialOrder(bool hexaxial);
    bool hexaxialOrder() const { return hexaxial_; }
    // Untranslated name; an unknown name shows "Light".
    void setColorScheme(const QString &name);
    QString colorScheme() const { return scheme_->name; }
    const DisplayColorScheme &scheme() const { return *scheme_; }
    void setShowAverageBeat(bool show);
    bool showAverageBeat() const { return showAverageBeat_; }

    // Pixels per mm: from the screen and the ruler check, unless forced.
    void setPixelsPerMm(double forced);
    double pixelsPerMm() const;
    EcgPaperScale paperScale() const;

    // The rows drawn, top to bottom.
    std::vector<DisplayLead> rows() const;
    QRectF traceArea() const;
    // The inset column right of the trace area; empty when no inset is shown.
    QRectF insetArea() const;
    QRectF rowRect(int row) const;
    double baselineY(int row) const;

protected:
    // Anything that changes what the paper or the rows look like.
    virtual void layoutChanged() = 0;
    // A new source; `sameShape` when it has the channels and rate of the
    // one before (the same device after its filters were rebuilt).
    virtual void sourceChanged(bool /*sameShape*/) { layoutChanged(); }
    // Whether an inset column is wanted (the average-beat switch and a source of averages).
    virtual bool hasInsets() const { return false; }

    void resizeEvent(QResizeEvent *event) override;
    // What stays still under the traces, the size of the widget: the paper
    // with each row's label and calibration pulse.
    QImage paperBackground() const;
    // Sets a painter up as the paper is drawn: antialiased,
    // whole coordinates at pixel centres so one-pixel lines stay sharp.
    static void preparePainter(QPainter &painter);
    // Reads samples [first, first + count) of a channel in millivolts.
    void readMillivolts(int channel, std::int64_t first, int count, std::vector<double> &out) const;

private:
    const SignalSource *source_ = nullptr;
    std::vector<bool> shown_;
    int fullScale_ = 0;  // 0: from the source's sample width
    EcgPaperScale scale_;
    bool hexaxial_ = false;
    const DisplayColorScheme *scheme_;
    bool showAverageBeat_ = true;
    double forcedPixelsPerMm_ = 0.0;
};

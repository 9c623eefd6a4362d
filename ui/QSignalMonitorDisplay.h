#pragma once
// The live ECG display of the monitor windows, drawn as a sweep: new signal
// replaces old in place from left to right behind an erase bar, as on a
// bedside monitor, and only the strip that changed is repainted. Beside each
// lead, when attached and switched on, the lead's average beat.

#include "ui/AverageBeatView.h"
#include "ui/EcgDisplayBase.h"

#include <QImage>
#include <cstdint>
#include <memory>

class MonitorEngine;

class QSignalMonitorDisplay : public EcgDisplayBase {
    Q_OBJECT
public:
    // Width of the erase bar ahead of the newest sample, in seconds of paper.
    static constexpr double kEraseSeconds = 0.2;

    explicit QSignalMonitorDisplay(QWidget *parent = nullptr);
    ~QSignalMonitorDisplay() override;

    // Draws whatever the source gained since the last call; the window calls
    // it after every processed block.
    void refresh();

    // The engine's averages beside each lead (at Start); the engine must
    // outlive the attachment (detach, or attach another, before it goes).
    void attachAverageBeats(MonitorEngine *engine);
    void setAverageBeatProvider(std::unique_ptr<AverageBeatProvider> provider);
    void detachAverageBeats() { setAverageBeatProvider(nullptr); }

    // Tells the user the baseline is not being filtered.
    void setBaselineFilterOff(bool off);
    bool baselineFilterOff() const { return baselineFilterOff_; }

    // Samples one sweep spans across the trace area.
    int sweepSamples() const { return sweepSamples_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void layoutChanged() override;
    void sourceChanged(bool sameShape) override;
    bool hasInsets() const override;

private:
    void rebuild();
    void drawBackground();
    // Draws samples [from, to) into the canvas; returns the changed strip.
    // `join`: connect the first sample to the one before it.
    QRect drawSamples(std::int64_t from, std::int64_t to, bool join = true);
    QRect drawSegment(std::int64_t from, std::int64_t to, bool join);
    QRect erase(double fromX, double widthPx);
    double xOf(std::int64_t sample) const;
    void drawInsets();

    QImage background_;
    QImage canvas_;
    bool stale_ = true;
    std::int64_t origin_ = 0;  // sample drawn at the trace area's left edge
    std::int64_t drawn_ = -1;  // first sample not drawn yet; -1 before the first refresh
    // A rebuilt filter chain starts at the input's end: samples before this
    // one do not exist in it and are left blank, not drawn as zeros.
    std::int64_t gapUntil_ = -1;
    double pxPerSample_ = 0.0;
    int sweepSamples_ = 0;
    std::unique_ptr<AverageBeatProvider> averages_;
    long long insetRevision_ = -1;
    bool baselineFilterOff_ = false;
    std::vector<double> values_;
};

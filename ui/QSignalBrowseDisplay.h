#pragma once
// The review display: a page of a stored record (the review chain's output)
// from a start time, with beat marks along the top, a cursor that reads
// time and amplitude, a highlighted range for an event and the average-beat
// inset; scrolled by keyboard (Left/Right a second, PageUp/PageDown a page,
// Home/End) and by the mouse wheel.

#include "ui/AverageBeatView.h"
#include "ui/EcgDisplayBase.h"

#include <QImage>
#include <memory>
#include <vector>

class QSignalBrowseDisplay : public EcgDisplayBase {
    Q_OBJECT
public:
    struct Beat {
        double time = 0.0;  // seconds of the record
        bool normal = true;
    };
    // Height of the beat-mark strip at the top.
    static constexpr double kMarkStripMm = 4.0;

    explicit QSignalBrowseDisplay(QWidget *parent = nullptr);
    ~QSignalBrowseDisplay() override;

    double startTime() const { return startTime_; }
    double pageSeconds() const;
    double recordSeconds() const;
    // Kept within the record; emits startTimeChanged when it moves.
    void setStartTime(double seconds);

    void setBeats(std::vector<Beat> beats);
    const std::vector<Beat> &beats() const { return beats_; }
    int selectedBeat() const { return selectedBeat_; }
    void setSelectedBeat(int index);

    // -1 when no cursor is set.
    double cursorTime() const { return cursorTime_; }
    double cursorValue() const { return cursorValue_; }
    void setCursor(double seconds, int row);
    void clearCursor();

    // An event's range; a duration of 0 or less removes it.
    void setHighlight(double start, double duration);
    double highlightStart() const { return highlightStart_; }
    double highlightDuration() const { return highlightDuration_; }

    void setAverageBeatProvider(std::unique_ptr<AverageBeatProvider> provider);

    // Time under a point of the trace area.
    double timeAt(double x) const;
    double xAt(double seconds) const;

Q_SIGNALS:
    void startTimeChanged(double seconds);
    void cursorChanged(double seconds);
    void selectedBeatChanged(int index);
    void scaleChanged(double mmPerSecond, double mmPerMillivolt);
    void highlightChanged(double start, double duration);
    void selectedValueChanged(double millivolts);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void layoutChanged() override;
    bool hasInsets() const override { return provider_ && showAverageBeat(); }

private:
    void renderBackground();
    void renderPage();
    void drawOverlays(QPainter &painter) const;
    int rowAt(double y) const;

    QImage background_;  // paper, lead names, calibration pulses: unchanged by scrolling
    QImage page_;
    bool backgroundStale_ = true;
    bool stale_ = true;
    double startTime_ = 0.0;
    std::vector<Beat> beats_;
    int selectedBeat_ = -1;
    double cursorTime_ = -1.0;
    double cursorValue_ = 0.0;
    double highlightStart_ = 0.0;
    double highlightDuration_ = 0.0;
    double lastSpeed_ = 0.0;
    double lastGain_ = 0.0;
    std::unique_ptr<AverageBeatProvider> provider_;
    std::vector<double> values_;
};

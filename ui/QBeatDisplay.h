#pragma once
// One average beat per lead with the wave markers of the resting
// measurement ("P on", "P off", "P peak", "QRS on", "QRS off", "T on",
// "T peak", "T off") drawn across every lead; the user drags a marker
// sideways and the display tells the new position when the marker is let go.
// With the keyboard, Up and Down choose the marker, Left and Right move it
// one sample (five with Shift).

#include "analysis/RestingMeasurement.h"
#include "ui/DisplayColorScheme.h"
#include "ui/EcgPaperScale.h"

#include <QStringList>
#include <QWidget>
#include <vector>

class QBeatDisplay : public QWidget {
    Q_OBJECT
public:
    enum Marker { POnset, POffset, PPeak, QrsOnset, QrsOffset, TOnset, TPeak, TOffset, MarkerCount };
    static QString markerName(int marker);
    static constexpr double kMmPerSecond = 50.0;
    static constexpr double kGrabPx = 5.0;  // how close a press must be to take a marker

    explicit QBeatDisplay(QWidget *parent = nullptr);

    // Every lead's average in millivolts, all at `rate` samples/s.
    void setAverages(std::vector<std::vector<double>> millivolts, const QStringList &names, double rate);
    // Positions in samples of the averages; 0 is a marker not found (not drawn).
    void setMarkers(const RestingMarkers &markers);
    const RestingMarkers &markers() const { return markers_; }
    int markerPosition(int marker) const;
    // The marker the keys move (the last one taken); -1 when none is shown.
    int selectedMarker() const { return selected_; }
    void setSelectedMarker(int marker);

    void setColorScheme(const QString &name);
    void setGain(double mmPerMillivolt);
    void setPixelsPerMm(double forced);
    // Magnifies the paper (both directions alike, so the grid still counts
    // 50 mm/s and the gain's mm/mV) until the beats fill the widget; a forced
    // scale wins.
    void setFitToSize(bool fit);
    double pixelsPerMm() const;

    // Where sample `sample` of lead cell `cell` lies, and the cells' layout.
    int columns() const;
    QRectF cellRect(int cell) const;
    double xOf(int cell, double sample) const;

Q_SIGNALS:
    void markerMoved(int marker, int sample);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void setMarkerPosition(int marker, int sample);
    int cellAt(const QPointF &p) const;
    int rows() const;
    int lastSample() const;
    EcgPaperScale scale() const;

    std::vector<std::vector<double>> averages_;
    QStringList names_;
    double rate_ = 0.0;
    RestingMarkers markers_;
    const DisplayColorScheme *scheme_;
    double gain_ = EcgPaperScale::kStandardGain;
    double forcedPixelsPerMm_ = 0.0;
    bool fit_ = false;
    int dragged_ = -1;
    int dragStart_ = 0;
    int dragCell_ = 0;
    int selected_ = -1;
};

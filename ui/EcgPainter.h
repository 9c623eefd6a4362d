#pragma once
// The one drawing routine of ECG paper and traces at a physical scale, into
// any QPainter: a widget, an image, a PDF page or a printer. Coordinates are
// the painter's device pixels; the scale says how many make a millimetre.

#include "ui/DisplayColorScheme.h"
#include "ui/EcgPaperScale.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

class EcgPainter {
public:
    // Line widths on paper, in millimetres (at least one device pixel).
    static constexpr double kTraceWidthMm = 0.25;
    static constexpr double kMinorGridWidthMm = 0.08;
    static constexpr double kMajorGridWidthMm = 0.2;
    static constexpr double kLabelHeightMm = 3.0;

    EcgPainter(QPainter &painter, const EcgPaperScale &scale, const DisplayColorScheme &scheme);

    const EcgPaperScale &scale() const { return scale_; }
    const DisplayColorScheme &scheme() const { return scheme_; }

    // Paper over `area` with its 1 mm and 5 mm grid; lines fall on whole
    // millimetres from `gridOrigin`, which is a 5 mm line in both directions.
    void drawPaper(const QRectF &area, const QPointF &gridOrigin) const;

    // Width of the calibration pulse with its lead-in and lead-out, in mm.
    static double calibrationWidthMm(double mmPerSecond);
    // The 1 mV x 200 ms pulse, lead-in starting at `start` on the baseline.
    void drawCalibrationPulse(const QPointF &start) const;

    // A lead name or other text, its top-left corner at `topLeft`.
    void drawLabel(const QPointF &topLeft, const QString &text, double heightMm = kLabelHeightMm) const;

    // `count` values in millivolts at `rate` samples/s; sample 0 sits at
    // `origin` (x at its time, y the baseline). Where several samples share
    // a device pixel only their extremes are drawn, so nothing is lost.
    void drawTrace(const double *millivolts, int count, double rate, const QPointF &origin,
                   bool inverted = false) const;
    void drawTrace(const double *millivolts, int count, double rate, const QPointF &origin, bool inverted,
                   const QColor &colour, double widthMm) const;

    // The pen width of a line `mm` wide, never below one device pixel.
    double lineWidth(double mm) const;

private:
    QPainter &painter_;
    EcgPaperScale scale_;
    const DisplayColorScheme &scheme_;
};

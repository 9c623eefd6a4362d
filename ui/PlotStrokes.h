#pragma once
// What a trend plot draws for its series, in pixels, before any painting:
// the segments, decimation lines and squares of one drawing style. Kept apart
// from the widget so the styles can be checked without a display.
//
// Styles: 0 points, 1 lines, 2 lines with markers, 4 paired segments; other
// values draw nothing. Lines and squares lying wholly outside the plot
// rectangle are dropped and the rest are cut a little outside it, so a
// sample far out of range can neither overflow a coordinate nor slow the
// painter; the painter's clip does the exact cut.

#include "ui/PlotGeometry.h"
#include "ui/PlotSeries.h"

#include <QLineF>
#include <QRectF>
#include <vector>

struct PlotStrokes {
    std::vector<QLineF> lines;     // solid, in the series colour
    std::vector<QLineF> gapLines;  // dotted, paler: a time step above the gap limit
    std::vector<QLineF> minMax;    // one vertical line per decimated pixel column
    std::vector<QRectF> points;    // filled 6 × 6 squares in the series colour
    std::vector<QRectF> markers;   // filled 4 × 4 black squares (style 2)

    bool isEmpty() const {
        return lines.empty() && gapLines.empty() && minMax.empty() && points.empty() && markers.empty();
    }
};

namespace PlotStyle {
constexpr int kPoints = 0;
constexpr int kLines = 1;
constexpr int kLinesWithMarkers = 2;
constexpr int kPairedSegments = 4;
}  // namespace PlotStyle

// Nothing when the geometry cannot map samples. `gapLimit` in seconds, 0 for
// no gaps.
PlotStrokes buildPlotStrokes(const PlotSeries &series, const PlotGeometry &geometry, int style, double gapLimit);

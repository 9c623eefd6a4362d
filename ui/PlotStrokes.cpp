#include "ui/PlotStrokes.h"

#include <algorithm>
#include <cmath>

namespace {

// Wider than the 2-pixel pen and the largest square, so cutting here never
// shows inside the plot.
constexpr double kMargin = 4.0;

class StrokeBuilder {
public:
    StrokeBuilder(const PlotSeries &series, const PlotGeometry &geometry, double gapLimit)
        : series_(series), geometry_(geometry), gapLimit_(gapLimit),
          bounds_(geometry.left() - kMargin, geometry.top() - kMargin, geometry.plotWidth() + 2 * kMargin,
                  geometry.plotHeight() + 2 * kMargin) {}

    PlotStrokes points();
    PlotStrokes lines(bool withMarkers);
    PlotStrokes pairs();

private:
    QPointF at(int i) const { return {geometry_.xAt(series_.time(i)), geometry_.yAt(series_.value(i))}; }
    void addSegment(std::vector<QLineF> &into, QPointF from, QPointF to) const;
    void addSquare(std::vector<QRectF> &into, QPointF centre, double size) const;
    // Segment from sample `from` to `to` of a line style.
    void addLineStep(PlotStrokes &strokes, int from, int to, bool withMarkers) const;

    const PlotSeries &series_;
    const PlotGeometry &geometry_;
    double gapLimit_;
    QRectF bounds_;
};

void StrokeBuilder::addSegment(std::vector<QLineF> &into, QPointF from, QPointF to) const {
    // Liang-Barsky: keeps the slope exact, unlike clamping the end points.
    if (!std::isfinite(from.x()) || !std::isfinite(from.y()) || !std::isfinite(to.x()) || !std::isfinite(to.y()))
        return;
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {from.x() - bounds_.left(), bounds_.right() - from.x(), from.y() - bounds_.top(),
                         bounds_.bottom() - from.y()};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) return;
            continue;
        }
        const double r = q[k] / p[k];
        if (p[k] < 0.0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1) return;
    }
    into.emplace_back(QPointF(from.x() + t0 * dx, from.y() + t0 * dy), QPointF(from.x() + t1 * dx, from.y() + t1 * dy));
}

void StrokeBuilder::addSquare(std::vector<QRectF> &into, QPointF centre, double size) const {
    if (!std::isfinite(centre.x()) || !std::isfinite(centre.y())) return;
    // x - 3 .. x + 2 for six pixels, x - 2 .. x + 1 for four.
    const QRectF square(centre.x() - size / 2, centre.y() - size / 2, size, size);
    if (square.intersects(bounds_)) into.push_back(square);
}

PlotStrokes StrokeBuilder::points() {
    PlotStrokes strokes;
    // Squares of samples just outside the range still reach into the plot.
    const double reach = kMargin / geometry_.pixelsPerSecond();
    const int end = firstSampleNotBefore(series_, geometry_.xRange().max + reach);
    for (int i = firstSampleNotBefore(series_, geometry_.xRange().min - reach); i < end; ++i)
        addSquare(strokes.points, at(i), 6.0);
    return strokes;
}

void StrokeBuilder::addLineStep(PlotStrokes &strokes, int from, int to, bool withMarkers) const {
    const bool gap = gapLimit_ > 0.0 && series_.time(to) - series_.time(from) > gapLimit_;
    addSegment(gap ? strokes.gapLines : strokes.lines, at(from), at(to));
    if (withMarkers) addSquare(strokes.markers, at(to), 4.0);
}

PlotStrokes StrokeBuilder::lines(bool withMarkers) {
    PlotStrokes strokes;
    const int count = series_.count();
    const int first = firstSampleNotBefore(series_, geometry_.xRange().min);
    if (first >= count) return strokes;
    // The first sample at or after the end of the range is the last one
    // joined, so the line runs on to the right edge.
    const int last = std::min(firstSampleNotBefore(series_, geometry_.xRange().max), count - 1);
    const double pixelTime = 1.0 / geometry_.pixelsPerSecond();

    int previous = first;
    int i = first + 1;
    while (i <= last) {
        if (series_.time(i) - series_.time(previous) >= pixelTime) {
            addLineStep(strokes, previous, i, withMarkers);
            previous = i++;
            continue;
        }
        // Samples closer than a pixel: one vertical line over their values
        // at the pixel of the first. The next group starts at least a pixel
        // later, so no column gets two lines.
        double low = series_.value(previous);
        double high = low;
        int k = i;
        while (k <= last && series_.time(k) - series_.time(previous) < pixelTime) {
            low = std::min(low, series_.value(k));
            high = std::max(high, series_.value(k));
            ++k;
        }
        const double x = geometry_.xAt(series_.time(previous));
        addSegment(strokes.minMax, QPointF(x, geometry_.yAt(low)), QPointF(x, geometry_.yAt(high)));
        if (k > last) break;
        addLineStep(strokes, k - 1, k, withMarkers);
        previous = k;
        i = k + 1;
    }
    return strokes;
}

PlotStrokes StrokeBuilder::pairs() {
    PlotStrokes strokes;
    const int count = series_.count();
    int first = firstSampleNotBefore(series_, geometry_.xRange().min);
    // Pairs are (0, 1), (2, 3), ...: an odd index is the second of a pair
    // whose first lies before the range.
    if (first % 2 != 0) ++first;
    for (int i = first; i + 1 < count && series_.time(i) < geometry_.xRange().max; i += 2) {
        addSegment(strokes.lines, at(i), at(i + 1));
        addSquare(strokes.points, at(i), 6.0);
        addSquare(strokes.points, at(i + 1), 6.0);
    }
    return strokes;
}

}  // namespace

PlotStrokes buildPlotStrokes(const PlotSeries &series, const PlotGeometry &geometry, int style, double gapLimit) {
    if (!geometry.canMap()) return {};
    StrokeBuilder builder(series, geometry, gapLimit);
    switch (style) {
    case PlotStyle::kPoints: return builder.points();
    case PlotStyle::kLines: return builder.lines(false);
    case PlotStyle::kLinesWithMarkers: return builder.lines(true);
    case PlotStyle::kPairedSegments: return builder.pairs();
    default: return {};
    }
}

#include "ui/EcgPainter.h"

#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

EcgPainter::EcgPainter(QPainter &painter, const EcgPaperScale &scale, const DisplayColorScheme &scheme)
    : painter_(painter), scale_(scale), scheme_(scheme) {}

double EcgPainter::lineWidth(double mm) const { return std::max(1.0, mm * scale_.pixelsPerMm); }

void EcgPainter::drawPaper(const QRectF &area, const QPointF &gridOrigin) const {
    painter_.save();
    painter_.fillRect(area, scheme_.paper);
    painter_.setClipRect(area, Qt::IntersectClip);
    const double step = scale_.pixelsPerMm;
    // Index of the first whole-millimetre line inside the area, counted from
    // the origin, so every line keeps its place whatever part is drawn.
    const long firstX = static_cast<long>(std::ceil((area.left() - gridOrigin.x()) / step));
    const long lastX = static_cast<long>(std::floor((area.right() - gridOrigin.x()) / step));
    const long firstY = static_cast<long>(std::ceil((area.top() - gridOrigin.y()) / step));
    const long lastY = static_cast<long>(std::floor((area.bottom() - gridOrigin.y()) / step));
    auto isMajor = [](long k) { return k % 5 == 0; };
    // Minor lines first so the major ones are drawn over them.
    for (int pass = 0; pass < 2; ++pass) {
        const bool major = pass == 1;
        painter_.setPen(QPen(major ? scheme_.majorGrid : scheme_.minorGrid,
                             lineWidth(major ? kMajorGridWidthMm : kMinorGridWidthMm), Qt::SolidLine, Qt::FlatCap));
        for (long k = firstX; k <= lastX; ++k) {
            if (isMajor(k) != major) continue;
            const double x = gridOrigin.x() + k * step;
            painter_.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        }
        for (long k = firstY; k <= lastY; ++k) {
            if (isMajor(k) != major) continue;
            const double y = gridOrigin.y() + k * step;
            painter_.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        }
    }
    painter_.restore();
}

double EcgPainter::calibrationWidthMm(double mmPerSecond) { return 2.0 + 0.2 * mmPerSecond; }

void EcgPainter::drawCalibrationPulse(const QPointF &start) const {
    const double lead = scale_.px(1.0);
    const double width = 0.2 * scale_.pixelsPerSecond();
    const double height = scale_.pixelsPerMillivolt();
    const double x = start.x(), y = start.y();
    const QPointF points[] = {{x, y},
                              {x + lead, y},
                              {x + lead, y - height},
                              {x + lead + width, y - height},
                              {x + lead + width, y},
                              {x + 2 * lead + width, y}};
    painter_.save();
    // Drawn like the trace, as a cardiograph's stylus draws it.
    painter_.setPen(QPen(scheme_.trace, lineWidth(kTraceWidthMm), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter_.drawPolyline(points, 6);
    painter_.restore();
}

void EcgPainter::drawLabel(const QPointF &topLeft, const QString &text, double heightMm) const {
    painter_.save();
    QFont font = painter_.font();
    font.setPixelSize(std::max(8, static_cast<int>(std::lround(scale_.px(heightMm)))));
    font.setBold(true);
    painter_.setFont(font);
    painter_.setPen(scheme_.label);
    const QFontMetricsF metrics(font, painter_.device());
    painter_.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
    painter_.restore();
}

void EcgPainter::drawTrace(const double *millivolts, int count, double rate, const QPointF &origin,
                           bool inverted) const {
    drawTrace(millivolts, count, rate, origin, inverted, scheme_.trace, kTraceWidthMm);
}

void EcgPainter::drawTrace(const double *millivolts, int count, double rate, const QPointF &origin, bool inverted,
                           const QColor &colour, double widthMm) const {
    if (count <= 0 || rate <= 0.0) return;
    const double pxPerSample = scale_.pixelsPerSecond() / rate;
    const double pxPerMv = (inverted ? -1.0 : 1.0) * scale_.pixelsPerMillivolt();
    auto yOf = [&](double mv) { return origin.y() - mv * pxPerMv; };
    QPolygonF line;
    if (pxPerSample >= 0.5 || count < 4) {
        line.reserve(count);
        for (int i = 0; i < count; ++i) line << QPointF(origin.x() + i * pxPerSample, yOf(millivolts[i]));
    } else {
        // Several samples per pixel column: keep each column's first and
        // last samples and its extremes, in the order they occur, so a
        // narrow spike still reaches its height and a step stays upright.
        line.reserve(4 * static_cast<int>(count * pxPerSample) + 8);
        // Sample positions are never negative: truncation is the floor.
        const auto columnOf = [pxPerSample](int sample) { return static_cast<long>(sample * pxPerSample); };
        int i = 0;
        while (i < count) {
            const long column = columnOf(i);
            int lo = i, hi = i;
            int j = i + 1;
            while (j < count && columnOf(j) == column) {
                if (millivolts[j] < millivolts[lo]) lo = j;
                if (millivolts[j] > millivolts[hi]) hi = j;
                ++j;
            }
            // The extremes lie between the first and last: already in order.
            const int kept[4] = {i, std::min(lo, hi), std::max(lo, hi), j - 1};
            for (int k = 0; k < 4; ++k)
                if (k == 0 || kept[k] != kept[k - 1])
                    line << QPointF(origin.x() + kept[k] * pxPerSample, yOf(millivolts[kept[k]]));
            i = j;
        }
    }
    painter_.save();
    // Bevel joins: round ones cost an arc per sample and look the same at
    // these widths. A trace of one pixel (a screen) takes the painter's fast
    // path for thin lines.
    painter_.setPen(QPen(colour, lineWidth(widthMm), Qt::SolidLine, Qt::FlatCap, Qt::BevelJoin));
    painter_.drawPolyline(line);
    painter_.restore();
}

#include "ui/TrendPlotPainter.h"

#include "ui/PlotAxisSteps.h"
#include "ui/PlotLabelText.h"
#include "ui/PlotStrokes.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const QColor kGridColor(0xc8, 0xc8, 0xc8);
const QColor kLabelColor(Qt::darkGray);
const QColor kCursorColor(Qt::gray);
// The y labels end this far left of the plot.
constexpr int kYLabelGap = 5;
constexpr int kXLabelPadding = 10;

QColor halfwayToWhite(const QColor &c) {
    return QColor((c.red() + 255) / 2, (c.green() + 255) / 2, (c.blue() + 255) / 2);
}

QPen seriesPen(const QColor &color, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(color, 2.0, style, Qt::SquareCap, Qt::BevelJoin);
    return pen;
}

}  // namespace

TrendPlotPainter::TrendPlotPainter(const TrendPlotLook &look, const QFont &labelFont)
    : look_(look), labelFont_(labelFont) {}

QFont TrendPlotPainter::titleFont() {
    QFont font(QStringLiteral("Helvetica"), 10);
    font.setBold(true);
    return font;
}

void TrendPlotPainter::paint(QPainter &painter, QSize size, const PlotSeries *series) const {
    paintBase(painter, size, series);
    paintOverlay(painter, size);
}

void TrendPlotPainter::paintBase(QPainter &painter, QSize size, const PlotSeries *series) const {
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    const PlotGeometry geometry(size.width(), size.height(), look_.showXLabels, look_.showYLabels, look_.x, look_.y);
    if (geometry.canMap()) {
        paintHighlight(painter, geometry);
        paintValueGrid(painter, geometry, size.height());
        paintTimeGrid(painter, geometry, size.height());
        if (series) paintSeries(painter, geometry, *series);
    }
    painter.restore();
}

void TrendPlotPainter::paintOverlay(QPainter &painter, QSize size) const {
    painter.save();
    const PlotGeometry geometry(size.width(), size.height(), look_.showXLabels, look_.showYLabels, look_.x, look_.y);
    if (geometry.canMap()) paintCursor(painter, geometry);
    paintTitle(painter, geometry);
    painter.restore();
}

void TrendPlotPainter::paintHighlight(QPainter &painter, const PlotGeometry &geometry) const {
    if (look_.highlightStart == look_.highlightEnd) return;
    const double a = geometry.xAt(std::min(look_.highlightStart, look_.highlightEnd));
    const double b = geometry.xAt(std::max(look_.highlightStart, look_.highlightEnd));
    const double from = std::clamp(a, double(geometry.left()), double(geometry.right()));
    const double to = std::clamp(b, double(geometry.left()), double(geometry.right()));
    if (!(to > from)) return;
    const QColor fill = look_.highlightColor.isValid() ? look_.highlightColor : defaultHighlightColor();
    painter.fillRect(QRectF(from, geometry.top(), to - from, geometry.plotHeight()), fill);
}

void TrendPlotPainter::paintValueGrid(QPainter &painter, const PlotGeometry &geometry, int height) const {
    const QFontMetrics metrics(labelFont_, painter.device());
    const int lineHeight = metrics.height();
    const double step = PlotAxisSteps::valueStep(lineHeight, geometry.pixelsPerUnit());
    const std::vector<double> values = PlotAxisSteps::multiples(look_.y.min, look_.y.max, step);
    // Labels wider than their strip ("+0.4" in a large font) would lose their
    // sign at the widget's edge: the whole axis then takes a smaller font.
    const int room = PlotGeometry::kYLabelWidth - kYLabelGap;
    QFont font = labelFont_;
    int widest = 0;
    for (double value : values)
        widest = std::max(widest, metrics.horizontalAdvance(PlotLabelText::number(look_.yFormat, value)));
    if (look_.showYLabels && widest > room) {
        const qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize();
        const qreal smaller = std::max<qreal>(1.0, std::floor(size * room / widest));
        if (font.pointSizeF() > 0)
            font.setPointSizeF(smaller);
        else
            font.setPixelSize(static_cast<int>(smaller));
    }
    painter.setFont(font);
    for (double value : values) {
        const double y = geometry.yAt(value);
        if (y < geometry.top()) break;
        painter.setPen(QPen(kGridColor, 1, Qt::DotLine));
        painter.drawLine(QPointF(geometry.left(), y), QPointF(geometry.right(), y));
        if (!look_.showYLabels) continue;
        painter.setPen(kLabelColor);
        // Centred on its line, but never cut by the widget's top or bottom edge.
        const double boxTop = std::clamp(y - lineHeight / 2.0, 0.0, std::max(0.0, double(height - lineHeight)));
        const QRectF box(0, boxTop, PlotGeometry::kYLabelWidth - kYLabelGap, lineHeight);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter, PlotLabelText::number(look_.yFormat, value));
    }
}

void TrendPlotPainter::paintTimeGrid(QPainter &painter, const PlotGeometry &geometry, int height) const {
    const QFontMetrics metrics(labelFont_, painter.device());
    const bool elapsed = !look_.timeFormat.isEmpty();
    const int labelWidth = metrics.horizontalAdvance(elapsed ? look_.timeFormat : look_.xFormat) + kXLabelPadding;
    const double perSecond = geometry.pixelsPerSecond();
    const double step = elapsed ? PlotAxisSteps::elapsedTimeStep(labelWidth, perSecond)
                                : PlotAxisSteps::numberStep(labelWidth, perSecond);
    const int lineHeight = metrics.height();
    painter.setFont(labelFont_);
    for (double seconds : PlotAxisSteps::multiples(look_.x.min, look_.x.max, step)) {
        const double x = geometry.xAt(seconds);
        if (x >= geometry.right()) break;
        painter.setPen(QPen(kGridColor, 1, Qt::DotLine));
        painter.drawLine(QPointF(x, geometry.top()), QPointF(x, geometry.bottom()));
        if (!look_.showXLabels) continue;
        const QString text =
            elapsed ? PlotLabelText::elapsed(look_.timeFormat, seconds) : PlotLabelText::number(look_.xFormat, seconds);
        const int textWidth = metrics.horizontalAdvance(text);
        painter.setPen(kLabelColor);
        painter.drawText(QRectF(x - textWidth, height - lineHeight + 5, 2.0 * textWidth, lineHeight),
                         Qt::AlignHCenter | Qt::AlignTop, text);
    }
}

void TrendPlotPainter::paintSeries(QPainter &painter, const PlotGeometry &geometry, const PlotSeries &series) const {
    const PlotStrokes strokes = buildPlotStrokes(series, geometry, look_.style, look_.gapLimit);
    if (strokes.isEmpty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(QRect(geometry.left(), geometry.top(), geometry.plotWidth(), geometry.plotHeight()));
    painter.setPen(seriesPen(halfwayToWhite(look_.color), Qt::DotLine));
    painter.drawLines(strokes.gapLines.data(), static_cast<int>(strokes.gapLines.size()));
    painter.setPen(seriesPen(look_.color));
    painter.drawLines(strokes.lines.data(), static_cast<int>(strokes.lines.size()));
    painter.drawLines(strokes.minMax.data(), static_cast<int>(strokes.minMax.size()));
    for (const QRectF &square : strokes.points) painter.fillRect(square, look_.color);
    for (const QRectF &square : strokes.markers) painter.fillRect(square, Qt::black);
    painter.restore();
}

void TrendPlotPainter::paintCursor(QPainter &painter, const PlotGeometry &geometry) const {
    if (!look_.showCursorLine || look_.cursorTime < look_.x.min || look_.cursorTime > look_.x.max) return;
    const double x = geometry.xAt(look_.cursorTime);
    painter.save();
    painter.setPen(QPen(kCursorColor, 1.5));
    painter.drawLine(QPointF(x, geometry.top()), QPointF(x, geometry.bottom()));
    painter.restore();
}

void TrendPlotPainter::paintTitle(QPainter &painter, const PlotGeometry &geometry) const {
    if (look_.title.isEmpty()) return;
    const QFont font = titleFont();
    painter.setFont(font);
    painter.setPen(look_.color);
    painter.drawText(QPointF(geometry.left() + 4, geometry.top() + QFontMetrics(font, painter.device()).height()),
                     look_.title);
}

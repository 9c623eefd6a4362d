#include "ui/QPlotGraphic.h"

#include "ui/PlotFit.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

QPlotGraphic::QPlotGraphic(QWidget *parent) : QWidget(parent) {
    // Every pixel comes from the off-screen image.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QPlotGraphic::setSeries(const PlotSeries *series) {
    series_ = series;
    cursorSample_ = -1;
    redraw();
}

void QPlotGraphic::setXRange(double min, double max) { look_.x = PlotRange{min, max}; }

void QPlotGraphic::setYRange(double min, double max) { look_.y = PlotRange{min, max}; }

void QPlotGraphic::fitToData(bool fitX, bool fitY) {
    if (!series_ || series_->count() == 0) return;
    if (fitX) {
        if (const auto range = PlotFit::timeRange(*series_)) look_.x = *range;
    }
    if (fitY) {
        if (const auto range = PlotFit::valueRange(*series_)) look_.y = *range;
    }
    redraw();
}

void QPlotGraphic::setStyle(int style) {
    look_.style = style;
    redraw();
}

void QPlotGraphic::setColor(const QColor &color) {
    if (color == look_.color) return;
    look_.color = color;
    redraw();
}

void QPlotGraphic::setTitle(const QString &title) {
    look_.title = title;
    redraw();
}

void QPlotGraphic::setTimeFormat(const QString &format) {
    look_.timeFormat = format;
    redraw();
}

void QPlotGraphic::setValueFormats(const QString &xFormat, const QString &yFormat) {
    look_.xFormat = xFormat;
    look_.yFormat = yFormat;
    redraw();
}

void QPlotGraphic::setShowXLabels(bool show) {
    look_.showXLabels = show;
    redraw();
}

void QPlotGraphic::setShowYLabels(bool show) {
    look_.showYLabels = show;
    redraw();
}

void QPlotGraphic::setGapLimit(double seconds) {
    look_.gapLimit = seconds;
    redraw();
}

void QPlotGraphic::setFreeCursor(const std::optional<QString> &text) {
    freeCursor_ = text;
    redraw();
}

void QPlotGraphic::setCursorTime(double seconds) {
    if (freeCursor_)
        look_.cursorTime = seconds;
    else
        snapToColumn(geometryNow().xAt(seconds));
    // Only the overlay moves.
    update();
}

void QPlotGraphic::setHighlight(int index, double start, double end, const QColor &color) {
    if (index != 0) return;
    look_.highlightStart = start;
    look_.highlightEnd = end;
    look_.highlightColor = color;
    redraw();
}

PlotGeometry QPlotGraphic::geometryNow() const {
    return PlotGeometry(width(), height(), look_.showXLabels, look_.showYLabels, look_.x, look_.y);
}

void QPlotGraphic::refresh() { redraw(); }

void QPlotGraphic::redraw() {
    stale_ = true;
    update();
}

TrendPlotLook QPlotGraphic::lookNow() const {
    TrendPlotLook look = look_;
    look.showCursorLine = freeCursor_.has_value();
    return look;
}

const QImage &QPlotGraphic::image() const {
    drawImage();
    composed_ = image_.copy();
    if (!composed_.isNull()) {
        QPainter painter(&composed_);
        TrendPlotPainter(lookNow(), font()).paintOverlay(painter, composed_.size());
    }
    return composed_;
}

void QPlotGraphic::drawImage() const {
    // A widget that was resized while hidden gets its resize event only when
    // shown, so the image follows the size here too.
    if (!stale_ && image_.size() == size()) return;
    if (image_.size() != size()) image_ = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    if (image_.isNull()) return;
    stale_ = false;
    QPainter painter(&image_);
    TrendPlotPainter(lookNow(), font()).paintBase(painter, image_.size(), series_);
}

void QPlotGraphic::snapToColumn(double column) {
    const PlotGeometry geometry = geometryNow();
    if (!series_ || series_->count() == 0 || !geometry.canMap()) return;
    if (!(column > geometry.left() && column < geometry.right())) return;
    int index = firstSampleNotBefore(*series_, geometry.timeAtColumn(column));
    index = std::min(index, series_->count() - 1);
    cursorSample_ = index;
    look_.cursorTime = series_->time(index);
    cursorValue_ = series_->value(index);
}

void QPlotGraphic::moveCursorTo(QPoint position) {
    if (!freeCursor_) {
        snapToColumn(position.x());
        return;
    }
    const PlotGeometry geometry = geometryNow();
    if (!geometry.canMap()) return;
    look_.cursorTime = std::clamp(geometry.timeAtColumn(position.x()), look_.x.min, look_.x.max);
}

void QPlotGraphic::panOrZoom(QPoint position, bool zoom) {
    const PlotGeometry geometry = geometryNow();
    const QPoint delta = position - lastPosition_;
    const double xAmount = delta.x() * look_.x.span() / (geometry.plotWidth() + 1);
    const double yAmount = delta.y() * look_.y.span() / (geometry.plotHeight() + 1);
    if (!xFixed_) {
        // Dragging right zooms in; without Ctrl the view follows the mouse.
        look_.x.min += zoom ? xAmount : -xAmount;
        look_.x.max -= xAmount;
    }
    if (!yFixed_) {
        look_.y.min += zoom ? -yAmount : yAmount;
        look_.y.max += yAmount;
    }
}

void QPlotGraphic::paintEvent(QPaintEvent *) {
    drawImage();
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
    TrendPlotPainter(lookNow(), font()).paintOverlay(painter, size());
}

void QPlotGraphic::resizeEvent(QResizeEvent *) { redraw(); }

void QPlotGraphic::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) return;
    const PlotGeometry geometry = geometryNow();
    const QPoint position = event->pos();
    if (!geometry.contains(position.x(), position.y())) {
        drag_ = Drag::Panning;
        lastPosition_ = position;
        cursorSample_ = -1;
        return;
    }
    if (highlightEnabled_ && (event->modifiers() & Qt::ShiftModifier)) {
        if (!geometry.canMap()) return;
        drag_ = Drag::Selecting;
        const double t = geometry.timeAtColumn(position.x());
        look_.highlightStart = t;
        look_.highlightEnd = t;
        redraw();
        Q_EMIT highlightChanged();
    } else if (cursorEnabled_) {
        drag_ = Drag::Cursor;
        moveCursorTo(position);
        redraw();
        Q_EMIT selectedValueChanged();
    }
}

void QPlotGraphic::mouseMoveEvent(QMouseEvent *event) {
    const QPoint position = event->pos();
    switch (drag_) {
    case Drag::None: return;
    case Drag::Selecting: {
        const PlotGeometry geometry = geometryNow();
        if (!(event->modifiers() & Qt::ShiftModifier) || !geometry.canMap()) return;
        look_.highlightEnd = geometry.timeAtColumn(position.x());
        redraw();
        Q_EMIT highlightChanged();
        return;
    }
    case Drag::Cursor:
        moveCursorTo(position);
        update();
        Q_EMIT selectedValueChanged();
        return;
    case Drag::Panning:
        panOrZoom(position, event->modifiers() & Qt::ControlModifier);
        lastPosition_ = position;
        redraw();
        Q_EMIT scaleChanged();
        return;
    }
}

void QPlotGraphic::mouseReleaseEvent(QMouseEvent *) {
    if (drag_ == Drag::None) return;
    const bool emptySelection = drag_ == Drag::Selecting && look_.highlightStart == look_.highlightEnd;
    drag_ = Drag::None;
    if (emptySelection) {
        look_.highlightStart = 0.0;
        look_.highlightEnd = 0.0;
    }
    redraw();
    if (emptySelection) Q_EMIT highlightChanged();
}

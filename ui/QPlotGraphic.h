#pragma once
// A trend of the study (heart rate, pressures, ST level, ...) plotted against
// time, with an optional cursor, a highlighted time range and mouse panning
// and zooming. The plot without its cursor line and title is drawn into an
// off-screen image when it is next painted after its data, scale, options or
// size change (so a burst of changes costs one drawing); a paint copies that
// image and draws the cursor line and title over it, so a cursor that
// follows the ECG page by page costs no new drawing of the series.
//
// Mouse, left button: a press in the plot moves the cursor (Shift: starts a
// highlighted range); a press in the label strips pans, or with Ctrl zooms,
// the axes that are not fixed.

#include "ui/PlotGeometry.h"
#include "ui/PlotSeries.h"
#include "ui/TrendPlotPainter.h"

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <optional>

class QPlotGraphic : public QWidget {
    Q_OBJECT
public:
    explicit QPlotGraphic(QWidget *parent = nullptr);

    // Not owned; null for an empty plot. The cursor loses its sample.
    void setSeries(const PlotSeries *series);
    const PlotSeries *series() const { return series_; }

    // The caller redraws with refresh().
    void setXRange(double min, double max);
    void setYRange(double min, double max);
    PlotRange xRange() const { return look_.x; }
    PlotRange yRange() const { return look_.y; }
    void fitToData(bool fitX, bool fitY);

    void setStyle(int style);
    int style() const { return look_.style; }
    void setColor(const QColor &color);
    QColor color() const { return look_.color; }
    void setTitle(const QString &title);
    void setTimeFormat(const QString &format);
    void setValueFormats(const QString &xFormat, const QString &yFormat);
    void setShowXLabels(bool show);
    void setShowYLabels(bool show);
    void setGapLimit(double seconds);
    void setXFixed(bool fixed) { xFixed_ = fixed; }
    void setYFixed(bool fixed) { yFixed_ = fixed; }
    bool isXFixed() const { return xFixed_; }
    bool isYFixed() const { return yFixed_; }

    void setCursorEnabled(bool enabled) { cursorEnabled_ = enabled; }
    bool isCursorEnabled() const { return cursorEnabled_; }
    // With a text the cursor sits at any time and its line is drawn;
    // without one it snaps to samples.
    void setFreeCursor(const std::optional<QString> &text);
    const std::optional<QString> &freeCursor() const { return freeCursor_; }
    // Programmatic moves do not emit selectedValueChanged, so plots that
    // follow each other's cursor cannot loop.
    void setCursorTime(double seconds);
    double cursorTime() const { return look_.cursorTime; }
    double cursorValue() const { return cursorValue_; }
    int cursorSample() const { return cursorSample_; }

    void setHighlightEnabled(bool enabled) { highlightEnabled_ = enabled; }
    bool isHighlightEnabled() const { return highlightEnabled_; }
    // Only index 0 exists; other indices are ignored.
    void setHighlight(int index, double start, double end, const QColor &color);
    double highlightStart() const { return look_.highlightStart; }
    double highlightEnd() const { return look_.highlightEnd; }
    QColor highlightColor() const { return look_.highlightColor; }

    PlotGeometry geometryNow() const;
    // The plot as drawn now (drawing it first if anything changed).
    const QImage &image() const;
    void refresh();

    QSize sizeHint() const override { return QSize(400, 200); }

Q_SIGNALS:
    void selectedValueChanged();
    void scaleChanged();
    void highlightChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    enum class Drag { None, Selecting, Cursor, Panning };

    // Marks the image stale and asks for a paint.
    void redraw();
    void drawImage() const;
    TrendPlotLook lookNow() const;
    void snapToColumn(double column);
    void moveCursorTo(QPoint position);
    void panOrZoom(QPoint position, bool zoom);

    const PlotSeries *series_ = nullptr;
    TrendPlotLook look_;
    bool xFixed_ = true;
    bool yFixed_ = true;
    bool cursorEnabled_ = false;
    std::optional<QString> freeCursor_;
    double cursorValue_ = 0.0;
    int cursorSample_ = -1;
    bool highlightEnabled_ = false;
    Drag drag_ = Drag::None;
    QPoint lastPosition_;
    mutable QImage image_;  // without the cursor line and title
    mutable bool stale_ = true;
    mutable QImage composed_;  // what image() hands out
};

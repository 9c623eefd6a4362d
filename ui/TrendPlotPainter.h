#pragma once
// Draws one trend plot (white background, highlighted range, dotted grid
// with labels, the series in its style, cursor line and title) into any
// painter: the widget's off-screen image, a printer or a PDF page.

#include "ui/PlotGeometry.h"
#include "ui/PlotSeries.h"

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>

class QPainter;

struct TrendPlotLook {
    PlotRange x;
    PlotRange y;
    bool showXLabels = true;
    bool showYLabels = true;
    QString xFormat = QStringLiteral("%g");
    QString yFormat = QStringLiteral("%g");
    QString timeFormat;  // x labels as elapsed times when not empty
    QString title;
    QColor color = Qt::black;
    int style = 1;
    double gapLimit = 0.0;
    bool showCursorLine = false;
    double cursorTime = 0.0;
    double highlightStart = 0.0;
    double highlightEnd = 0.0;
    QColor highlightColor;  // invalid: a pale default
};

class TrendPlotPainter {
public:
    // `labelFont` for the axis labels; the title has its own font.
    TrendPlotPainter(const TrendPlotLook &look, const QFont &labelFont);

    // Draws at (0, 0) over `size`. `series` may be null (an empty plot).
    void paint(QPainter &painter, QSize size, const PlotSeries *series) const;
    // The same in two layers: everything but the cursor line and the title,
    // then those two over it. A widget keeps the first as an image and
    // draws only the second when the cursor moves.
    void paintBase(QPainter &painter, QSize size, const PlotSeries *series) const;
    void paintOverlay(QPainter &painter, QSize size) const;

    static QColor defaultHighlightColor() { return QColor(0xcc, 0xdd, 0xff); }
    static QFont titleFont();

private:
    void paintHighlight(QPainter &painter, const PlotGeometry &geometry) const;
    void paintValueGrid(QPainter &painter, const PlotGeometry &geometry, int height) const;
    void paintTimeGrid(QPainter &painter, const PlotGeometry &geometry, int height) const;
    void paintSeries(QPainter &painter, const PlotGeometry &geometry, const PlotSeries &series) const;
    void paintCursor(QPainter &painter, const PlotGeometry &geometry) const;
    void paintTitle(QPainter &painter, const PlotGeometry &geometry) const;

    TrendPlotLook look_;
    QFont labelFont_;
};

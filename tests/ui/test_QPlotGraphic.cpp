#include "ui/QPlotGraphic.h"
#include "PlotTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// 440 x 220: a plot of 400 x 200 pixels from (40, 0) to (440, 200).
class PlotWidget : public ::testing::Test {
protected:
    void SetUp() override {
        plot.resize(440, 220);
        plot.setXRange(0, 100);
        plot.setYRange(0, 10);
        plot.refresh();
    }

    bool onlyWhite() const {
        const QImage &image = plot.image();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255)) return false;
        return true;
    }

    void press(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(&plot, Qt::LeftButton, modifiers, at);
    }
    void move(QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(&plot, &event);
    }
    void release(QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseRelease(&plot, Qt::LeftButton, modifiers, at);
    }

    QPlotGraphic plot;
};

TEST_F(PlotWidget, DrawsTheSeriesAtItsMappedPixels) {
    const VectorSeries series({0, 100}, {5, 5});
    plot.setColor(Qt::red);
    plot.setSeries(&series);
    // Value 5 maps to row 200 + trunc(-99.5) = 101; the 2-pixel pen covers
    // 100-101. Column 250 lies between grid lines.
    const QColor onLine = plot.image().pixelColor(250, 101);
    EXPECT_GT(onLine.red(), 200);
    EXPECT_LT(onLine.green(), 80);
    EXPECT_EQ(plot.image().pixelColor(250, 110), QColor(Qt::white));
}

TEST_F(PlotWidget, ASeriesOfZerosFitsToAnEmptyRangeAndDrawsNothing) {
    const VectorSeries zeros({0, 10, 20}, {0, 0, 0});
    plot.setSeries(&zeros);
    plot.fitToData(true, true);
    EXPECT_EQ(plot.yRange().min, 0.0);
    EXPECT_EQ(plot.yRange().max, 0.0);
    EXPECT_TRUE(onlyWhite());

    const VectorSeries steady({0, 10, 20}, {120, 120, 120});
    plot.setSeries(&steady);
    plot.fitToData(false, true);
    EXPECT_DOUBLE_EQ(plot.yRange().min, 118.8);
    EXPECT_DOUBLE_EQ(plot.yRange().max, 121.2);
    EXPECT_FALSE(onlyWhite());
    // Without samples the ranges stay.
    const VectorSeries none;
    plot.setSeries(&none);
    plot.fitToData(true, true);
    EXPECT_DOUBLE_EQ(plot.yRange().max, 121.2);
}

TEST_F(PlotWidget, PaintingCopiesTheImageWithoutReadingTheSeries) {
    const VectorSeries series({0, 50, 100}, {2, 8, 3});
    plot.setSeries(&series);
    plot.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&plot));
    const long readsAfterDrawing = series.reads;
    ASSERT_GT(readsAfterDrawing, 0);
    plot.repaint();
    plot.repaint();
    EXPECT_EQ(series.reads, readsAfterDrawing);
}

TEST_F(PlotWidget, AClickSnapsTheCursorToTheFirstSampleNotBeforeTheColumn) {
    const VectorSeries series({0, 10, 20, 30, 40}, {1, 2, 3, 4, 5});
    plot.setSeries(&series);
    plot.setCursorEnabled(true);
    QSignalSpy moved(&plot, &QPlotGraphic::selectedValueChanged);
    struct Case {
        int column;
        int sample;
        double time, value;
    };
    // Column 96 is 14 s; beyond the last sample the cursor takes the last.
    for (const Case &c : std::vector<Case>{{96, 2, 20, 3}, {80, 1, 10, 2}, {300, 4, 40, 5}}) {
        press(QPoint(c.column, 50));
        release(QPoint(c.column, 50));
        EXPECT_EQ(plot.cursorSample(), c.sample) << "column " << c.column;
        EXPECT_DOUBLE_EQ(plot.cursorTime(), c.time);
        EXPECT_DOUBLE_EQ(plot.cursorValue(), c.value);
    }
    EXPECT_EQ(moved.count(), 3);

    plot.setSeries(&series);
    EXPECT_EQ(plot.cursorSample(), -1);
}

TEST_F(PlotWidget, AFreeCursorFollowsTheMouseWithinTheRange) {
    plot.setCursorEnabled(true);
    plot.setFreeCursor(QStringLiteral("12:00"));
    QSignalSpy moved(&plot, &QPlotGraphic::selectedValueChanged);
    press(QPoint(140, 50));
    EXPECT_DOUBLE_EQ(plot.cursorTime(), 25.0);
    move(QPoint(600, 50));
    EXPECT_DOUBLE_EQ(plot.cursorTime(), 100.0);
    move(QPoint(5, 50));
    EXPECT_DOUBLE_EQ(plot.cursorTime(), 0.0);
    release(QPoint(5, 50));
    EXPECT_EQ(moved.count(), 3);
    // The line is drawn in free mode only (column 250 is 52.5 s).
    plot.setCursorTime(52.5);
    EXPECT_NE(plot.image().pixelColor(250, 100), QColor(Qt::white));
    // The line is drawn over the kept plot: moving it leaves nothing behind,
    // and the widget shows what image() gives.
    const QColor before = plot.image().pixelColor(140, 100);
    plot.setCursorTime(25.0);
    EXPECT_EQ(plot.image().pixelColor(250, 100), QColor(Qt::white));
    EXPECT_NE(plot.image().pixelColor(140, 100), before);
    EXPECT_EQ(plot.grab().toImage().convertToFormat(QImage::Format_RGB32),
              plot.image().convertToFormat(QImage::Format_RGB32));
    plot.setFreeCursor(std::nullopt);
    EXPECT_EQ(plot.image().pixelColor(250, 100), QColor(Qt::white));
}

TEST_F(PlotWidget, AShiftDragSelectsARangeAndAShiftClickLeavesNone) {
    plot.setHighlightEnabled(true);
    QSignalSpy changed(&plot, &QPlotGraphic::highlightChanged);
    press(QPoint(140, 50), Qt::ShiftModifier);
    move(QPoint(240, 60), Qt::ShiftModifier);
    release(QPoint(240, 60), Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(plot.highlightStart(), 25.0);
    EXPECT_DOUBLE_EQ(plot.highlightEnd(), 50.0);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_NE(plot.image().pixelColor(190, 150), QColor(Qt::white));

    changed.clear();
    press(QPoint(300, 50), Qt::ShiftModifier);
    release(QPoint(300, 50), Qt::ShiftModifier);
    EXPECT_EQ(plot.highlightStart(), plot.highlightEnd());
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(plot.image().pixelColor(190, 150), QColor(Qt::white));

    // Without highlighting enabled a Shift press is a cursor press.
    plot.setHighlightEnabled(false);
    changed.clear();
    press(QPoint(140, 50), Qt::ShiftModifier);
    release(QPoint(200, 50), Qt::ShiftModifier);
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(PlotWidget, OnlyTheFirstHighlightExists) {
    plot.setHighlight(1, 10, 20, Qt::green);
    EXPECT_EQ(plot.highlightStart(), plot.highlightEnd());
    plot.setHighlight(0, 80, 60, Qt::green);
    // Ordered: 60..80 s are columns 280..360.
    EXPECT_EQ(plot.image().pixelColor(300, 100), QColor(Qt::green));
    EXPECT_EQ(plot.image().pixelColor(380, 100), QColor(Qt::white));
}

TEST_F(PlotWidget, DraggingInTheLabelStripsPansOrZoomsTheFreeAxes) {
    struct Case {
        const char *what;
        bool xFixed, yFixed;
        Qt::KeyboardModifiers modifiers;
        PlotRange x, y;
    };
    // A drag of +40, -20 pixels. x moves 40 × 100 / 401, y 20 × 10 / 201.
    const double dx = 40.0 * 100.0 / 401.0;
    const double dy = 20.0 * 10.0 / 201.0;
    const std::vector<Case> cases = {
        {"both fixed", true, true, Qt::NoModifier, {0, 100}, {0, 10}},
        {"pan x", false, true, Qt::NoModifier, {-dx, 100 - dx}, {0, 10}},
        {"pan y", true, false, Qt::NoModifier, {0, 100}, {-dy, 10 - dy}},
        {"zoom both", false, false, Qt::ControlModifier, {dx, 100 - dx}, {dy, 10 - dy}},
    };
    for (const Case &c : cases) {
        plot.setXRange(0, 100);
        plot.setYRange(0, 10);
        plot.setXFixed(c.xFixed);
        plot.setYFixed(c.yFixed);
        QSignalSpy scaled(&plot, &QPlotGraphic::scaleChanged);
        press(QPoint(20, 210), c.modifiers);
        move(QPoint(60, 190), c.modifiers);
        release(QPoint(60, 190), c.modifiers);
        EXPECT_EQ(scaled.count(), 1) << c.what;
        EXPECT_NEAR(plot.xRange().min, c.x.min, 1e-9) << c.what;
        EXPECT_NEAR(plot.xRange().max, c.x.max, 1e-9) << c.what;
        EXPECT_NEAR(plot.yRange().min, c.y.min, 1e-9) << c.what;
        EXPECT_NEAR(plot.yRange().max, c.y.max, 1e-9) << c.what;
    }
}

}  // namespace

namespace {

// Rows of the y-label strip holding label pixels, as runs [first, last].
std::vector<std::pair<int, int>> labelRuns(const QImage &image) {
    std::vector<std::pair<int, int>> runs;
    bool inRun = false;
    for (int y = 0; y < image.height() - PlotGeometry::kXLabelHeight; ++y) {
        bool inked = false;
        for (int x = 0; x < PlotGeometry::kYLabelWidth - 5 && !inked; ++x)
            inked = image.pixel(x, y) != qRgb(255, 255, 255);
        if (inked && !inRun) runs.push_back({y, y});
        if (inked) runs.back().second = y;
        inRun = inked;
    }
    return runs;
}

TEST_F(PlotWidget, TheTopValueLabelIsNotCutByTheWidgetEdge) {
    // The line of 10 lands on row 1: a label centred on it would lose its
    // upper half.
    plot.refresh();
    const auto runs = labelRuns(plot.image());
    ASSERT_GE(runs.size(), 3u);
    const int middleHeight = runs[runs.size() / 2].second - runs[runs.size() / 2].first;
    EXPECT_GT(runs.front().first, 0);
    EXPECT_EQ(runs.front().second - runs.front().first, middleHeight);
}

TEST_F(PlotWidget, SignedValueLabelsTooWideForTheStripKeepTheirSigns) {
    // "+0.4" in a 20-pixel font is wider than the strip: drawn as it is, its
    // sign would fall off the widget's left edge.
    QFont large = plot.font();
    large.setPixelSize(20);
    plot.setFont(large);
    plot.setYRange(-0.4, 0.4);
    plot.setValueFormats(QStringLiteral("%g"), QStringLiteral("%+.1f"));
    const QImage image = plot.image();
    EXPECT_GE(labelRuns(image).size(), 3u);
    for (int y = 0; y < image.height(); ++y) ASSERT_EQ(image.pixel(0, y), qRgb(255, 255, 255)) << "row " << y;
}

}  // namespace

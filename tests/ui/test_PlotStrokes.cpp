#include "ui/PlotStrokes.h"
#include "PlotTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

// 200 x 100 pixels of plot (left 40, bottom 100) over 0..100 s and 0..10.
PlotGeometry plot(double xMin = 0, double xMax = 100) {
    return PlotGeometry(240, 120, true, true, PlotRange{xMin, xMax}, PlotRange{0, 10});
}

TEST(PlotStrokes, EachStyleDrawsItsShapes) {
    const VectorSeries series({10, 20, 30, 40, 50}, {1, 2, 3, 4, 5});
    struct Case {
        int style;
        std::size_t lines, points, markers;
    };
    const std::vector<Case> cases = {
        {PlotStyle::kPoints, 0, 5, 0},
        {PlotStyle::kLines, 4, 0, 0},
        {PlotStyle::kLinesWithMarkers, 4, 0, 4},
        // Pairs (10, 20) and (30, 40); the odd last sample has no partner.
        {PlotStyle::kPairedSegments, 2, 4, 0},
        {3, 0, 0, 0},
        {7, 0, 0, 0},
    };
    for (const Case &c : cases) {
        const PlotStrokes s = buildPlotStrokes(series, plot(), c.style, 0.0);
        EXPECT_EQ(s.lines.size(), c.lines) << "style " << c.style;
        EXPECT_EQ(s.points.size(), c.points) << "style " << c.style;
        EXPECT_EQ(s.markers.size(), c.markers) << "style " << c.style;
        EXPECT_TRUE(s.gapLines.empty());
        EXPECT_TRUE(s.minMax.empty());
    }
}

TEST(PlotStrokes, ShapesSitOnTheMappedPixels) {
    const PlotGeometry g = plot();
    const VectorSeries series({10, 30}, {2, 6});
    const QPointF a(g.xAt(10), g.yAt(2));
    const QPointF b(g.xAt(30), g.yAt(6));
    const PlotStrokes lines = buildPlotStrokes(series, g, PlotStyle::kLinesWithMarkers, 0.0);
    ASSERT_EQ(lines.lines.size(), 1u);
    EXPECT_EQ(lines.lines[0], QLineF(a, b));
    // The marker covers x - 2 .. x + 1 of the end point, the point square x - 3 .. x + 2.
    EXPECT_EQ(lines.markers.at(0), QRectF(b.x() - 2, b.y() - 2, 4, 4));
    const PlotStrokes points = buildPlotStrokes(series, g, PlotStyle::kPoints, 0.0);
    EXPECT_EQ(points.points.at(0), QRectF(a.x() - 3, a.y() - 3, 6, 6));
}

TEST(PlotStrokes, LinesRunFromTheFirstSampleInViewToTheFirstAtOrBeyondItsEnd) {
    const VectorSeries series({0, 10, 20, 30, 40, 50, 60}, {1, 2, 3, 4, 5, 6, 7});
    const PlotGeometry g = plot(15, 45);
    const PlotStrokes s = buildPlotStrokes(series, g, PlotStyle::kLines, 0.0);
    // 20 -> 30 -> 40 -> 50: nothing joins the 10 s sample before the range,
    // and the 50 s sample carries the line to the right edge.
    ASSERT_EQ(s.lines.size(), 3u);
    EXPECT_EQ(s.lines.front().p1().x(), g.xAt(20));
    EXPECT_GT(s.lines.back().p2().x(), g.right());
}

TEST(PlotStrokes, PairsStartAtTheFirstWholePairInView) {
    // Blood pressure as pairs at one time: systolic then diastolic.
    const VectorSeries pressures({0, 0, 30, 30, 60, 60}, {120, 80, 150, 85, 170, 90});
    const PlotGeometry g(240, 120, true, true, PlotRange{10, 100}, PlotRange{0, 200});
    const PlotStrokes s = buildPlotStrokes(pressures, g, PlotStyle::kPairedSegments, 0.0);
    ASSERT_EQ(s.lines.size(), 2u);  // the reading at 0 s lies before the range
    EXPECT_EQ(s.lines[0], QLineF(g.xAt(30), g.yAt(150), g.xAt(30), g.yAt(85)));

    struct Case {
        double xMin;
        std::size_t lines;
    };
    // Index 1 (20 s) is the first sample in view from 10 s but the second
    // of its pair, so drawing starts with the pair (2, 3); index 4 has no
    // partner. From 50 s only index 3 and the lone index 4 remain.
    const VectorSeries odd({0, 20, 40, 60, 80}, {1, 2, 3, 4, 5});
    for (const Case &c : std::vector<Case>{{0, 2}, {10, 1}, {50, 0}})
        EXPECT_EQ(buildPlotStrokes(odd, plot(c.xMin, 100), PlotStyle::kPairedSegments, 0.0).lines.size(), c.lines)
            << "from " << c.xMin;
}

TEST(PlotStrokes, StepsBeyondTheGapLimitAreDrawnAsGaps) {
    const VectorSeries series({0, 10, 20, 80, 90}, {5, 5, 5, 5, 5});
    const PlotStrokes s = buildPlotStrokes(series, plot(), PlotStyle::kLinesWithMarkers, 30.0);
    EXPECT_EQ(s.lines.size(), 3u);
    ASSERT_EQ(s.gapLines.size(), 1u);
    EXPECT_EQ(s.gapLines[0].p1().x(), plot().xAt(20));
    EXPECT_EQ(s.gapLines[0].p2().x(), plot().xAt(80));
    EXPECT_EQ(s.markers.size(), 4u);  // gaps end in a marker too
    EXPECT_TRUE(buildPlotStrokes(series, plot(), PlotStyle::kLines, 0.0).gapLines.empty());
}

TEST(PlotStrokes, DenseSamplesBecomeOneMinMaxLinePerPixelColumn) {
    // 100 000 samples over 100 s on 200 pixels: 500 samples per column, with
    // a single spike that must survive the decimation.
    std::vector<double> times, values;
    for (int i = 0; i < 100000; ++i) {
        times.push_back(i * 0.001);
        values.push_back(5.0 + 0.5 * std::sin(i * 0.01));
    }
    values[61234] = 9.5;
    const VectorSeries series(times, values);
    const PlotGeometry g = plot();
    const PlotStrokes s = buildPlotStrokes(series, g, PlotStyle::kLines, 0.0);

    std::set<double> columns;
    for (const QLineF &line : s.minMax) {
        EXPECT_EQ(line.p1().x(), line.p2().x());
        EXPECT_TRUE(columns.insert(line.p1().x()).second) << "two lines in column " << line.p1().x();
    }
    EXPECT_LE(s.minMax.size(), static_cast<std::size_t>(g.plotWidth() + 1));
    EXPECT_LE(s.lines.size(), static_cast<std::size_t>(g.plotWidth() + 1));
    bool spikeShown = false;
    for (const QLineF &line : s.minMax) spikeShown |= std::min(line.p1().y(), line.p2().y()) == g.yAt(9.5);
    EXPECT_TRUE(spikeShown);
    // Reading the view costs the samples in it, not a sample per pixel more.
    const VectorSeries counted(times, values);
    buildPlotStrokes(counted, g, PlotStyle::kLines, 0.0);
    EXPECT_LT(counted.reads, 8 * 100000);
}

TEST(PlotStrokes, ASampleFarOutOfRangeIsCutKeepingTheSlope) {
    const PlotGeometry g = plot();
    const VectorSeries series({10, 20, 30}, {5, 1e300, 5});
    const PlotStrokes s = buildPlotStrokes(series, g, PlotStyle::kLinesWithMarkers, 0.0);
    ASSERT_EQ(s.lines.size(), 2u);
    for (const QLineF &line : s.lines) {
        for (const QPointF &p : {line.p1(), line.p2()}) {
            EXPECT_GE(p.y(), g.top() - 4.0);
            EXPECT_LE(p.y(), g.bottom() + 4.0);
        }
    }
    // The spike leaves the plot almost straight up from the 10 s sample.
    EXPECT_EQ(s.lines[0].p1(), QPointF(g.xAt(10), g.yAt(5)));
    EXPECT_NEAR(s.lines[0].p2().x(), g.xAt(10), 1e-6);
    EXPECT_EQ(s.markers.size(), 1u);  // the spike's own marker lies far outside
}

TEST(PlotStrokes, NothingWithoutUsableRangesOrSamples) {
    const VectorSeries series({0, 10}, {0, 0});
    EXPECT_TRUE(buildPlotStrokes(series, PlotGeometry(240, 120, true, true, {0, 100}, {0, 0}), 1, 0).isEmpty());
    EXPECT_TRUE(buildPlotStrokes(VectorSeries(), plot(), 1, 0).isEmpty());
    EXPECT_TRUE(buildPlotStrokes(series, plot(50, 100), 1, 0).isEmpty());
}

}  // namespace

// The review display: the page shown from the start time the window sets,
// measured on its pixels; scrolling by keyboard and wheel reported through
// startTimeChanged and kept within the record; the cursor reading time and
// amplitude; beat selection; scale and highlight signals.

#include "DisplayTestSupport.h"
#include "EcgPixelProbe.h"

#include "ui/QSignalBrowseDisplay.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace EcgPixelProbe;
using DisplayTest::Feed;

namespace {

constexpr double kPxPerMm = 4.0;
constexpr int kSeconds = 60;

// Lead I: a 1 mV spike at every whole second; lead II: a slow ramp of
// t / 10 mV, which the cursor reads back.
struct Review {
    Review() : feed(12) {
        feed.append(
            [](int c, std::int64_t i) {
                if (c == 1) return static_cast<double>(i) / DisplayTest::kRate / 10.0;
                return c == 0 && i % DisplayTest::kRate < 3 ? 1.0 : 0.0;
            },
            kSeconds * DisplayTest::kRate, nullptr, DisplayTest::kRate);
        display.setPixelsPerMm(kPxPerMm);
        display.setColorScheme(QStringLiteral("Light"));
        display.resize(1000, 200);
        display.setSource(&feed.buffer);
        for (int c = 2; c < 12; ++c) display.setLeadShown(c, false);
    }
    Feed feed;
    QSignalBrowseDisplay display;
};

TEST(QSignalBrowseDisplay, ShowsThePageFromTheStartTimeAtTrueScale) {
    for (double start : {0.0, 10.3}) {
        Review review;
        review.display.setStartTime(start);
        const QImage image = DisplayTest::grab(review.display, QStringLiteral("browse-page"));
        const int left = static_cast<int>(review.display.traceArea().left());
        const std::vector<Edge> spikes =
            verticalEdges(image, QRect(left - 2, 0, image.width() - left + 2, image.height() / 2), 24);
        ASSERT_GE(spikes.size(), 8u) << start;
        // The first spike is the first whole second at or after the start.
        const double firstSecond = std::ceil(start);
        EXPECT_NEAR(spikes.front().x - left, (firstSecond - start) * 100.0, 1.5) << start;
        for (std::size_t k = 1; k < spikes.size(); ++k) EXPECT_NEAR(spikes[k].x - spikes[k - 1].x, 100.0, 1.0);
        EXPECT_NEAR(review.display.pageSeconds(), (1000 - left) / 100.0, 1e-9);
    }
}

struct Scroll {
    const char *label;
    double from;
    int key;     // 0: the wheel
    int wheelY;  // angle delta of the wheel
    double to;   // -1: the last page, -2: a page on
};

class BrowseScrolling : public ::testing::TestWithParam<Scroll> {};

TEST_P(BrowseScrolling, MovesTheStartAndSaysSo) {
    const Scroll s = GetParam();
    Review review;
    review.display.setStartTime(s.from);
    QSignalSpy moved(&review.display, &QSignalBrowseDisplay::startTimeChanged);
    if (s.key != 0) {
        QTest::keyClick(&review.display, static_cast<Qt::Key>(s.key));
    } else {
        QWheelEvent wheel(QPointF(500, 100), QPointF(500, 100), QPoint(), QPoint(0, s.wheelY), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&review.display, &wheel);
    }
    const double last = kSeconds - review.display.pageSeconds();
    const double expected = s.to == -1 ? last : s.to == -2 ? s.from + review.display.pageSeconds() : s.to;
    EXPECT_NEAR(review.display.startTime(), expected, 1e-9);
    if (expected == s.from) {
        EXPECT_EQ(moved.count(), 0);
    } else {
        ASSERT_EQ(moved.count(), 1);
        EXPECT_NEAR(moved.front().front().toDouble(), expected, 1e-9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, BrowseScrolling,
    ::testing::Values(Scroll{"Right", 5, Qt::Key_Right, 0, 6}, Scroll{"Left", 5, Qt::Key_Left, 0, 4},
                      Scroll{"LeftAtStart", 0, Qt::Key_Left, 0, 0}, Scroll{"PageDown", 5, Qt::Key_PageDown, 0, -2},
                      Scroll{"PageUpNearStart", 5, Qt::Key_PageUp, 0, 0}, Scroll{"Home", 20, Qt::Key_Home, 0, 0},
                      Scroll{"End", 0, Qt::Key_End, 0, -1}, Scroll{"WheelTowardsUser", 5, 0, -240, 7},
                      Scroll{"WheelAway", 5, 0, 120, 4}),
    [](const ::testing::TestParamInfo<Scroll> &info) { return info.param.label; });

TEST(QSignalBrowseDisplay, ClickSetsTheCursorReadingTimeAndAmplitude) {
    Review review;
    review.display.setStartTime(20.0);
    QSignalSpy cursor(&review.display, &QSignalBrowseDisplay::cursorChanged);
    QSignalSpy value(&review.display, &QSignalBrowseDisplay::selectedValueChanged);
    const double left = review.display.traceArea().left();
    // 250 px into the trace area is 2.5 s into the page; the lower row is lead II.
    QTest::mouseClick(&review.display, Qt::LeftButton, Qt::NoModifier, QPoint(static_cast<int>(left) + 250, 150));
    ASSERT_EQ(cursor.count(), 1);
    EXPECT_NEAR(cursor.front().front().toDouble(), 22.5, 0.011);
    ASSERT_EQ(value.count(), 1);
    EXPECT_NEAR(value.front().front().toDouble(), 2.25, 0.01);
    EXPECT_NEAR(review.display.cursorTime(), 22.5, 0.011);
}

TEST(QSignalBrowseDisplay, BeatMarksSelectAndScaleAndHighlightAreSignalled) {
    Review review;
    review.display.setBeats({{1.0, true}, {2.0, false}, {3.0, true}});
    QSignalSpy selected(&review.display, &QSignalBrowseDisplay::selectedBeatChanged);
    const double left = review.display.traceArea().left();
    QTest::mouseClick(&review.display, Qt::LeftButton, Qt::NoModifier, QPoint(static_cast<int>(left) + 201, 4));
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.front().front().toInt(), 1);
    EXPECT_EQ(review.display.selectedBeat(), 1);

    QSignalSpy scale(&review.display, &QSignalBrowseDisplay::scaleChanged);
    review.display.setSpeed(50);
    review.display.setSpeed(50);
    review.display.setGain(20);
    review.display.setSpeed(30);  // not a paper speed: ignored
    ASSERT_EQ(scale.count(), 2);
    EXPECT_EQ(scale.at(0).at(0).toDouble(), 50.0);
    EXPECT_EQ(scale.at(1).at(1).toDouble(), 20.0);

    QSignalSpy highlight(&review.display, &QSignalBrowseDisplay::highlightChanged);
    review.display.setHighlight(12.0, 7.0);
    review.display.setHighlight(12.0, 7.0);
    review.display.setHighlight(3.0, 0.0);
    ASSERT_EQ(highlight.count(), 2);
    EXPECT_EQ(highlight.at(0).at(1).toDouble(), 7.0);
    EXPECT_EQ(review.display.highlightDuration(), 0.0);
}

}  // namespace

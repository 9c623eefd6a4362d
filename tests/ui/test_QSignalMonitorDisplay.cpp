// The live display measured on its pixels: scale at a forced 4 px/mm, each
// lead in its row in standard and hexaxial order with aVR inverted only in
// hexaxial order, hidden leads absent, the sweep drawing exactly the samples
// delivered across a wrap-around and repainting only the changed strip.

#include "DisplayTestSupport.h"
#include "EcgPixelProbe.h"

#include "ui/QSignalMonitorDisplay.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <gtest/gtest.h>
#include <set>

using namespace EcgPixelProbe;
using DisplayTest::Feed;

namespace {

constexpr double kPxPerMm = 4.0;

void configure(QSignalMonitorDisplay &display, const SignalSource &source, QSize size) {
    display.setPixelsPerMm(kPxPerMm);
    display.setColorScheme(QStringLiteral("Light"));
    display.setSpeed(25);
    display.setGain(10);
    display.resize(size);
    display.setSource(&source);
    display.refresh();  // the sweep starts with the first sample
}

TEST(QSignalMonitorDisplay, SquareWaveAndGridMeasureTrueAtAForcedScale) {
    Feed feed(12);
    QSignalMonitorDisplay display;
    configure(display, feed.buffer, QSize(900, 160));
    for (int c = 1; c < 12; ++c) display.setLeadShown(c, false);
    // Lead I: 1 mV from 0.25 s to 0.75 s of every second.
    feed.append(
        [](int c, std::int64_t i) {
            return c == 0 && std::fmod(i / 500.0, 1.0) >= 0.25 && std::fmod(i / 500.0, 1.0) < 0.75 ? 1.0 : 0.0;
        },
        3 * DisplayTest::kRate, [&] { display.refresh(); });
    const QImage image = DisplayTest::grab(display, QStringLiteral("monitor-square"));

    const std::vector<Edge> edges = verticalEdges(image, image.rect(), 24);
    ASSERT_EQ(edges.size(), 2u + 6u) << "the pulse's two edges and three periods of the wave; found " << edges.size()
                                     << ", the first at " << (edges.empty() ? 0.0 : edges[0].x);
    std::vector<double> rising;
    for (std::size_t i = 0; i < edges.size(); ++i) {
        const double before = levelNear(image, static_cast<int>(edges[i].x) - 3, edges[i].top, edges[i].bottom);
        const double after = levelNear(image, static_cast<int>(edges[i].x) + 3, edges[i].top, edges[i].bottom);
        ASSERT_GE(before, 0.0);
        ASSERT_GE(after, 0.0);
        EXPECT_NEAR(std::abs(after - before), 40.0, 1.0) << "edge " << i;  // 10 mm
        if (i >= 2 && after < before) rising.push_back(edges[i].x);
    }
    ASSERT_EQ(rising.size(), 3u);
    for (std::size_t i = 1; i < rising.size(); ++i) EXPECT_NEAR(rising[i] - rising[i - 1], 100.0, 1.0);  // 25 mm

    const int quietRow = static_cast<int>(edges.back().bottom + 10);  // between grid lines
    const std::vector<double> across =
        gridSpacings(image, true, quietRow, static_cast<int>(edges.back().x) + 10, image.width() - 2);
    ASSERT_GE(across.size(), 20u);
    for (double s : across) EXPECT_NEAR(s, kPxPerMm, 0.6);
}

struct Placement {
    const char *label;
    bool hexaxial;
    std::vector<int> hidden;
    // Expected rows top to bottom: channel, drawn inverted.
    std::vector<std::pair<int, bool>> rows;
};

void PrintTo(const Placement &p, std::ostream *os) { *os << p.label; }

class LeadPlacement : public ::testing::TestWithParam<Placement> {};

// Lead k carries one upright 1 mV spike, at 0.1 + 0.12 k s: the spikes'
// order across the screen tells the leads apart, their direction tells
// whether a lead was inverted, and the row they rise from where it sits.
TEST_P(LeadPlacement, EachLeadInItsRowAndOnlyHexaxialAvrInverted) {
    const Placement p = GetParam();
    Feed feed(12);
    QSignalMonitorDisplay display;
    configure(display, feed.buffer, QSize(1000, 80 * static_cast<int>(p.rows.size())));
    display.setHexaxialOrder(p.hexaxial);
    for (int c : p.hidden) display.setLeadShown(c, false);
    auto spike = [](int c, std::int64_t i) {
        const std::int64_t at = 50 + 60 * c;
        return i >= at && i < at + 3 ? 1.0 : 0.0;
    };
    feed.append(spike, 900, [&] { display.refresh(); });
    const QImage image = DisplayTest::grab(display, QStringLiteral("monitor-placement-") + QLatin1String(p.label));

    // Baselines: the dark runs down a column before any spike.
    const int left = static_cast<int>(display.traceArea().left());
    const std::vector<PixelRun> baselines = runs(image, true, left + 4, 0, image.height() - 1, isDark);
    ASSERT_EQ(baselines.size(), p.rows.size());

    const std::vector<Edge> spikes =
        verticalEdges(image, QRect(left + 8, 0, image.width() - left - 8, image.height()), 24);
    std::vector<int> shown;
    for (int c = 0; c < 12; ++c)
        if (std::find(p.hidden.begin(), p.hidden.end(), c) == p.hidden.end()) shown.push_back(c);
    ASSERT_EQ(spikes.size(), shown.size()) << "one spike per shown lead, none of the hidden ones";

    for (std::size_t k = 0; k < spikes.size(); ++k) {
        const int channel = shown[k];
        const Edge &s = spikes[k];
        // The row it grew from: the baseline at one end of the stroke.
        int row = -1;
        bool inverted = false;
        for (std::size_t r = 0; r < baselines.size(); ++r) {
            const double y = baselines[r].centre();
            if (std::abs(s.bottom - y) <= 2) row = static_cast<int>(r);
            if (std::abs(s.top - y) <= 2) {
                row = static_cast<int>(r);
                inverted = true;
            }
        }
        ASSERT_GE(row, 0) << "spike of channel " << channel << " (rows " << s.top << " to " << s.bottom
                          << ") starts on no baseline; first at " << baselines.front().centre();
        EXPECT_NEAR(s.bottom - s.top, 40, 3) << channel;
        EXPECT_EQ(p.rows[static_cast<std::size_t>(row)].first, channel) << "row " << row;
        EXPECT_EQ(inverted, p.rows[static_cast<std::size_t>(row)].second) << "channel " << channel;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Orders, LeadPlacement,
    ::testing::Values(Placement{"Standard",
                                false,
                                {},
                                {{0, false},
                                 {1, false},
                                 {2, false},
                                 {3, false},
                                 {4, false},
                                 {5, false},
                                 {6, false},
                                 {7, false},
                                 {8, false},
                                 {9, false},
                                 {10, false},
                                 {11, false}}},
                      Placement{"Hexaxial",
                                true,
                                {},
                                {{4, false},
                                 {0, false},
                                 {3, true},
                                 {1, false},
                                 {5, false},
                                 {2, false},
                                 {6, false},
                                 {7, false},
                                 {8, false},
                                 {9, false},
                                 {10, false},
                                 {11, false}}},
                      // The monitor's two panels: limb leads on the left, chest leads on the right.
                      Placement{"LeftPanelHexaxial",
                                true,
                                {6, 7, 8, 9, 10, 11},
                                {{4, false}, {0, false}, {3, true}, {1, false}, {5, false}, {2, false}}},
                      Placement{"RightPanel",
                                true,
                                {0, 1, 2, 3, 4, 5},
                                {{6, false}, {7, false}, {8, false}, {9, false}, {10, false}, {11, false}}},
                      Placement{
                          "SomeHidden",
                          false,
                          {2, 3, 7, 8, 9},
                          {{0, false}, {1, false}, {4, false}, {5, false}, {6, false}, {10, false}, {11, false}}}),
    [](const ::testing::TestParamInfo<Placement> &info) { return info.param.label; });

// Spike columns expected for the samples delivered: those of the current
// sweep left of the write position, the previous sweep's right of the bar.
TEST(QSignalMonitorDisplay, SweepDrawsTheSamplesDeliveredInPlaceAcrossTheWrap) {
    Feed feed(1);
    QSignalMonitorDisplay display;
    configure(display, feed.buffer, QSize(460, 120));
    auto spikeAt = [](std::int64_t i) { return i % 125 == 40 || i % 125 == 41; };
    const int sweep = display.sweepSamples();
    ASSERT_GT(sweep, 1000);
    const std::int64_t total = sweep + 700;  // past the wrap
    feed.append([&](int, std::int64_t i) { return spikeAt(i) ? 1.0 : 0.0; }, total, [&] { display.refresh(); });
    const QImage image = DisplayTest::grab(display, QStringLiteral("monitor-sweep"));

    const double left = display.traceArea().left();
    const double pxPerSample = kPxPerMm * 25.0 / DisplayTest::kRate;
    const std::int64_t eraseSamples =
        static_cast<std::int64_t>(QSignalMonitorDisplay::kEraseSeconds * DisplayTest::kRate);
    const std::int64_t written = total - sweep;  // samples of the new sweep
    std::vector<double> expected;
    for (std::int64_t i = 0; i < total; i += 1) {
        if (!spikeAt(i) || spikeAt(i - 1)) continue;
        const std::int64_t position = i % sweep;
        const bool current = i >= sweep;
        const bool survives = !current && position > written + eraseSamples + 2;
        if (current || survives) expected.push_back(left + (position + 0.5) * pxPerSample);
    }
    std::sort(expected.begin(), expected.end());
    const std::vector<Edge> spikes = verticalEdges(
        image, QRect(static_cast<int>(left), 0, image.width() - static_cast<int>(left), image.height()), 20);
    ASSERT_EQ(spikes.size(), expected.size());
    for (std::size_t k = 0; k < spikes.size(); ++k) EXPECT_NEAR(spikes[k].x, expected[k], 1.0) << k;

    // The erase bar: nothing at all drawn just ahead of the newest sample.
    const int barFrom = static_cast<int>(left + written * pxPerSample) + 3;
    const int barTo = static_cast<int>(left + (written + eraseSamples) * pxPerSample) - 1;
    for (int x = barFrom; x <= barTo; ++x)
        EXPECT_TRUE(runs(image, true, x, 0, image.height() - 1, isDark).empty()) << "column " << x;
}

class PaintRecorder : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) regions.push_back(static_cast<QPaintEvent *>(event)->region());
        return false;
    }
    std::vector<QRegion> regions;
};

TEST(QSignalMonitorDisplay, ABlockRepaintsOnlyTheStripItChanged) {
    Feed feed(12);
    QSignalMonitorDisplay display;
    configure(display, feed.buffer, QSize(1200, 600));
    display.show();
    feed.append([](int, std::int64_t i) { return std::sin(i / 40.0); }, 1000, [&] { display.refresh(); });
    QCoreApplication::processEvents();
    PaintRecorder recorder;
    display.installEventFilter(&recorder);
    const double left = display.traceArea().left();
    const double pxPerSample = kPxPerMm * 25.0 / DisplayTest::kRate;
    feed.append([](int, std::int64_t i) { return std::sin(i / 40.0); }, 10, [&] { display.refresh(); });
    QCoreApplication::processEvents();
    ASSERT_EQ(recorder.regions.size(), 1u);
    const QRect strip = recorder.regions.front().boundingRect();
    // Ten samples are 2 px; with the joint, the pen and the erase bar the
    // strip stays narrow and sits where the samples go.
    const double erasePx = QSignalMonitorDisplay::kEraseSeconds * 25.0 * kPxPerMm;
    EXPECT_LE(strip.width(), 2 + erasePx + 8);
    EXPECT_NEAR(strip.left(), left + 999 * pxPerSample, 4);
    display.removeEventFilter(&recorder);
}

}  // namespace

// After a filter change the window sets the rebuilt chain's output, which
// starts at the input's end: the sweep goes on in place, what was drawn
// stays, and the samples the new chain never had are left blank.
TEST(QSignalMonitorDisplay, ANewSourceAfterAFilterChangeContinuesTheSweep) {
    Feed before(1);
    QSignalMonitorDisplay display;
    configure(display, before.buffer, QSize(700, 120));
    display.show();  // sized for good: a resize redraws only what the current source holds
    auto spikes = [](int, std::int64_t i) { return i % 100 < 2 ? 1.0 : 0.0; };
    before.append(spikes, 500, [&] { display.refresh(); });
    Feed after(1);
    after.buffer.startAt(600);  // the new chain's first sample
    display.setSource(&after.buffer);
    after.append(spikes, 400, [&] { display.refresh(); });
    const QImage image = DisplayTest::grab(display, QStringLiteral("monitor-new-source"));

    const double left = display.traceArea().left();
    const double pxPerSample = kPxPerMm * 25.0 / DisplayTest::kRate;
    std::vector<double> expected;
    for (std::int64_t i : {0, 100, 200, 300, 400, 600, 700, 800, 900})
        expected.push_back(left + (i + 0.5) * pxPerSample);
    const std::vector<Edge> found = verticalEdges(
        image, QRect(static_cast<int>(left), 0, image.width() - static_cast<int>(left), image.height()), 20);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t k = 0; k < found.size(); ++k) EXPECT_NEAR(found[k].x, expected[k], 1.0) << k;
    // Samples 500 to 599 exist in neither source: blank paper, no flat line.
    for (int x = static_cast<int>(left + 505 * pxPerSample); x < static_cast<int>(left + 595 * pxPerSample); ++x)
        EXPECT_TRUE(runs(image, true, x, 0, image.height() - 1, isDark).empty()) << "column " << x;
}

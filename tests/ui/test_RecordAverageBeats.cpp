// Average beats of a stored record for the review inset: only the beats in
// the window on screen, aligned on their R peaks, in millivolts, with a
// new revision only when the window moves.

#include "DisplayTestSupport.h"

#include "ui/RecordAverageBeats.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Lead I: a 1.5 mV bell at half past every second; lead II: the same inverted.
double bell(int channel, std::int64_t i) {
    const double t = static_cast<double>(i) / DisplayTest::kRate;
    const double phase = t - std::floor(t) - 0.5;
    const double mv = 1.5 * std::exp(-0.5 * std::pow(phase / 0.012, 2));
    return channel == 0 ? mv : -mv;
}

std::vector<BeatRecord> beatsEverySecond(int seconds) {
    std::vector<BeatRecord> beats;
    for (int k = 1; k < seconds; ++k) {
        BeatRecord beat;
        beat.valid = true;
        beat.values[BeatRecord::FiducialTime] = k + 0.5;
        beat.values[BeatRecord::RrInterval] = 1.0;
        beat.values[BeatRecord::MeanRrInterval] = 1.0;
        beat.windowStart = k + 0.2;
        beat.leads[0].set(BeatRecord::RPeakTime, k + 0.5);
        beat.leads[0].set(BeatRecord::QrsPolarity, 1.0);
        beats.push_back(beat);
    }
    return beats;
}

TEST(RecordAverageBeats, AveragesTheBeatsOfTheWindowOnTheirRPeaks) {
    DisplayTest::Feed feed(2);
    feed.append(bell, 40 * DisplayTest::kRate, nullptr, DisplayTest::kRate);
    const double unit = 1.0 / DisplayTest::kUnitsPerMv;
    RecordAverageBeats averages(feed.buffer, beatsEverySecond(40), unit);
    AverageBeatView view;
    EXPECT_FALSE(averages.view(0, &view)) << "no window yet";

    averages.setTimeWindow(10.0, 25.0);
    const long long revision = averages.revision();
    ASSERT_TRUE(averages.view(0, &view));
    EXPECT_EQ(view.rate, 500.0);
    ASSERT_EQ(view.current.size(), 400u);  // 0.8 s
    const auto peak = std::max_element(view.current.begin(), view.current.end());
    EXPECT_EQ(peak - view.current.begin(), 150) << "the R peak at 0.3 s";
    // Mean-free over the window: the bell's area is small, so nearly 1.5 mV.
    EXPECT_NEAR(*peak, 1.5, 0.06);
    AverageBeatView inverted;
    ASSERT_TRUE(averages.view(1, &inverted));
    EXPECT_NEAR(*std::min_element(inverted.current.begin(), inverted.current.end()), -*peak, 1e-9);
    EXPECT_TRUE(view.reference.empty());

    averages.setTimeWindow(10.0, 25.0);
    EXPECT_EQ(averages.revision(), revision) << "same window, same averages";
    averages.setTimeWindow(100.0, 115.0);
    EXPECT_GT(averages.revision(), revision);
    EXPECT_FALSE(averages.view(0, &view)) << "no beats there";
    EXPECT_FALSE(averages.view(2, &view));
}

}  // namespace

// Beat timing in the truth file: constant rates, the stress profile, and
// premature ventricular beats with their compensatory pauses.

#include "SimTestSupport.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>
#include <numeric>

using namespace SimTest;

namespace {

struct ConstantRate {
    int samplingRate;
    double bpm;
    double variabilityPercent;
};

void PrintTo(const ConstantRate &c, std::ostream *os) {
    *os << c.bpm << " bpm at " << c.samplingRate << "/s, " << c.variabilityPercent << " % variability";
}

class ConstantRateTiming : public ::testing::TestWithParam<ConstantRate> {};

TEST_P(ConstantRateTiming, BeatCountAndIntervalsFollowTheRate) {
    const ConstantRate c = GetParam();
    QTemporaryDir dir;
    const double seconds = 60.0;
    const QString path = record(dir.path(), {"--rate", QString::number(c.samplingRate), "--hr", QString::number(c.bpm),
                                             "--hrv", QString::number(c.variabilityPercent), "--seconds", "60"});
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(path));
    ASSERT_GT(beats.size(), 2u);

    const double rr = 60.0 / c.bpm;
    EXPECT_NEAR(static_cast<double>(beats.size()), seconds / rr, 1.5);
    double sum = 0.0;
    for (std::size_t i = 0; i < beats.size(); ++i) {
        EXPECT_EQ(beats[i].type, 'N');
        EXPECT_NEAR(beats[i].rr, rr, rr * c.variabilityPercent / 100.0 + 1e-4) << "beat " << i;
        if (i == 0) continue;
        sum += beats[i].rr;
        // The stated RR is where the R peaks actually are.
        const double spacing = static_cast<double>(beats[i].sample - beats[i - 1].sample) / c.samplingRate;
        EXPECT_NEAR(spacing, beats[i].rr, 1.5 / c.samplingRate) << "beat " << i;
    }
    EXPECT_NEAR(sum / static_cast<double>(beats.size() - 1), rr, rr * 0.01);
}

INSTANTIATE_TEST_SUITE_P(Rates, ConstantRateTiming,
                         ::testing::Values(ConstantRate{500, 60, 0}, ConstantRate{500, 75, 2},
                                           ConstantRate{1000, 75, 0}, ConstantRate{500, 120, 2},
                                           ConstantRate{1000, 180, 5}, ConstantRate{500, 40, 2}));

struct StressCase {
    double rest;
    double peak;
    double seconds;
};

void PrintTo(const StressCase &c, std::ostream *os) {
    *os << c.rest << " to " << c.peak << " bpm in " << c.seconds << " s";
}

class StressTiming : public ::testing::TestWithParam<StressCase> {};

TEST_P(StressTiming, RateClimbsToPeakAndRecoversToRest) {
    const StressCase c = GetParam();
    QTemporaryDir dir;
    const QString path = record(dir.path(), {"--profile", "stress", "--hr", QString::number(c.rest), "--peak-hr",
                                             QString::number(c.peak), "--seconds", QString::number(c.seconds)});
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(path));
    ASSERT_GT(beats.size(), 20u);
    const auto rateAt = [&](double fraction) {
        // Mean rate of the beats around a point of the recording.
        const double at = fraction * c.seconds * 500.0;
        double sum = 0.0;
        int count = 0;
        for (const TruthBeat &beat : beats)
            if (std::abs(static_cast<double>(beat.sample) - at) < 2.5 * 500.0) sum += beat.rr, ++count;
        return 60.0 / (sum / count);
    };
    EXPECT_NEAR(rateAt(0.05), c.rest, c.rest * 0.03);
    EXPECT_NEAR(rateAt(0.65), c.peak, c.peak * 0.03);  // middle of the peak phase
    EXPECT_GT(rateAt(0.40), c.rest + 0.2 * (c.peak - c.rest));
    EXPECT_LT(rateAt(0.40), c.peak - 0.1 * (c.peak - c.rest));
    EXPECT_NEAR(rateAt(0.98), c.rest, (c.peak - c.rest) * 0.1);
    double fastest = 0.0;
    for (const TruthBeat &beat : beats) fastest = std::max(fastest, 60.0 / beat.rr);
    EXPECT_LT(fastest, c.peak * 1.06);
}

INSTANTIATE_TEST_SUITE_P(Profiles, StressTiming,
                         ::testing::Values(StressCase{75, 150, 300}, StressCase{60, 170, 600},
                                           StressCase{90, 130, 120}));

struct PvcCase {
    double bpm;
    double perMinute;
};

void PrintTo(const PvcCase &c, std::ostream *os) { *os << c.perMinute << "/min at " << c.bpm << " bpm"; }

class PrematureBeats : public ::testing::TestWithParam<PvcCase> {};

TEST_P(PrematureBeats, RateTypeCouplingAndCompensatoryPause) {
    const PvcCase c = GetParam();
    QTemporaryDir dir;
    const double minutes = 4.0;
    const QString path =
        record(dir.path(), {"--hr", QString::number(c.bpm), "--pvc-per-min", QString::number(c.perMinute), "--seconds",
                            QString::number(minutes * 60), "--hrv", "0", "--seed", "11"});
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(path));
    const auto premature = std::count_if(beats.begin(), beats.end(), [](const TruthBeat &b) { return b.type == 'V'; });
    const double expected = c.perMinute * minutes;
    EXPECT_NEAR(static_cast<double>(premature), expected, std::max(2.0, 0.15 * expected));

    const double rr = 60.0 / c.bpm;
    for (std::size_t i = 1; i + 1 < beats.size(); ++i) {
        if (beats[i].type != 'V') continue;
        EXPECT_EQ(beats[i - 1].type, 'N');
        ASSERT_EQ(beats[i + 1].type, 'N');
        EXPECT_NEAR(beats[i].rr, 0.6 * rr, 0.01 * rr) << "coupling of beat " << i;
        // Compensatory: the sinus rhythm goes on as if the PVC had not happened.
        EXPECT_NEAR(beats[i].rr + beats[i + 1].rr, 2.0 * rr, 0.01 * rr) << "pause after beat " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, PrematureBeats,
                         ::testing::Values(PvcCase{70, 2}, PvcCase{75, 6}, PvcCase{100, 12}, PvcCase{60, 20}));

TEST(PrematureBeats, NoneWhenNotAsked) {
    QTemporaryDir dir;
    const std::vector<TruthBeat> beats =
        readTruth(truthPathOf(record(dir.path(), {"--seconds", "120", "--noise", "high"})));
    EXPECT_TRUE(std::none_of(beats.begin(), beats.end(), [](const TruthBeat &b) { return b.type != 'N'; }));
}

}  // namespace

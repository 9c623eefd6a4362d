// The demonstration recording the build makes, and looping recordings in
// general: the right size and content, and no seam where replay wraps.

#include "SimTestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

using namespace SimTest;

namespace {

// The wrap from the last frame to the first must look like any other step:
// per lead, no larger than the 99th percentile of the recording's own steps.
void expectSeamless(const Recording &r) {
    ASSERT_GT(r.frames(), 2);
    for (int lead = 0; lead < kChannels; ++lead) {
        std::vector<int> steps;
        steps.reserve(static_cast<std::size_t>(r.frames()));
        for (std::int64_t f = 1; f < r.frames(); ++f) steps.push_back(std::abs(r.raw(f, lead) - r.raw(f - 1, lead)));
        std::nth_element(steps.begin(), steps.begin() + steps.size() * 99 / 100, steps.end());
        const int typical = std::max(2, steps[steps.size() * 99 / 100]);
        EXPECT_LE(std::abs(r.raw(0, lead) - r.raw(r.frames() - 1, lead)), typical) << "lead " << lead;
    }
}

TEST(DemoRecording, HasTheDemonstrationLengthAndFormat) {
    EXPECT_EQ(QFileInfo(QStringLiteral(TARVELIN_DEMO_RECORDING)).size(), 600LL * 500 * 28);
}

TEST(DemoRecording, LoopsWithoutASeam) { expectSeamless(readRecording(QStringLiteral(TARVELIN_DEMO_RECORDING))); }

TEST(DemoRecording, ClimbsToPeakWithRateRelatedStDepression) {
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(QStringLiteral(TARVELIN_DEMO_RECORDING)));
    ASSERT_GT(beats.size(), 800u);
    EXPECT_TRUE(
        std::all_of(beats.begin(), beats.end(), [](const TruthBeat &b) { return b.sample >= 0 && b.sample < 300000; }));
    double fastest = 0.0;
    for (const TruthBeat &beat : beats) {
        const double rate = 60.0 / beat.rr;
        fastest = std::max(fastest, rate);
        if (beat.sample < 500 * 50 || beat.sample > 500 * 595) {
            EXPECT_NEAR(rate, 75.0, 6.0) << "beat at " << beat.sample;
            for (double st : beat.st) EXPECT_NEAR(st, 0.0, 0.005) << "beat at " << beat.sample;
        }
        if (beat.sample > 500 * 370 && beat.sample < 500 * 410) {  // peak exercise
            for (int lead : {II, III, aVF, V4, V5, V6}) {
                EXPECT_LE(beat.st[static_cast<std::size_t>(lead)], -0.10) << "lead " << lead;
                EXPECT_GE(beat.st[static_cast<std::size_t>(lead)], -0.15) << "lead " << lead;
            }
        }
    }
    EXPECT_NEAR(fastest, 150.0, 6.0);
}

struct LoopCase {
    const char *label;
    QStringList options;
};

void PrintTo(const LoopCase &c, std::ostream *os) { *os << c.label; }

class LoopingRecording : public ::testing::TestWithParam<LoopCase> {};

TEST_P(LoopingRecording, WrapsSmoothlyAndKeepsItsBeatsInside) {
    QTemporaryDir dir;
    const QString path = record(dir.path(), GetParam().options + QStringList{"--loop"});
    const Recording r = readRecording(path);
    expectSeamless(r);
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(path));
    ASSERT_GT(beats.size(), 3u);
    // The interval into the first beat is the one across the wrap.
    const double wrapRr = static_cast<double>(beats.front().sample + r.frames() - beats.back().sample) / r.rate;
    EXPECT_NEAR(beats.front().rr, wrapRr, 1.5 / r.rate);
    double total = 0.0;
    for (const TruthBeat &beat : beats) total += beat.rr;
    EXPECT_NEAR(total, static_cast<double>(r.frames()) / r.rate, 1e-3 * static_cast<double>(beats.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Options, LoopingRecording,
    ::testing::Values(
        LoopCase{"NoisyWithPvcs", {"--seconds", "45", "--noise", "high", "--pvc-per-min", "6", "--seed", "3"}},
        LoopCase{"ShortStress", {"--seconds", "60", "--profile", "stress", "--noise", "medium", "--mains", "60"}},
        LoopCase{"OddLength", {"--seconds", "33.37", "--hr", "97", "--noise", "low"}}),
    [](const ::testing::TestParamInfo<LoopCase> &info) { return std::string(info.param.label); });

}  // namespace

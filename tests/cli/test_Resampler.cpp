// Rate conversion: the analysis rate chosen for each input rate, waves in the
// pass band kept in amplitude and time, content above the new Nyquist
// frequency removed rather than folded back, and clean ends.

#include "tools/cli/Resampler.h"

#include <gtest/gtest.h>
#include <cmath>
#include <ostream>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<double> sine(double frequency, double rate, double seconds, double amplitude = 1.0, double offset = 0.0) {
    std::vector<double> samples(static_cast<std::size_t>(std::llround(seconds * rate)));
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = offset + amplitude * std::sin(2.0 * kPi * frequency * static_cast<double>(i) / rate);
    return samples;
}

std::vector<double> resampled(const std::vector<double> &input, double from, double to) {
    std::vector<double> output;
    QString error;
    EXPECT_TRUE(Resampler::resample(input, from, to, &output, &error)) << error.toStdString();
    return output;
}

TEST(AnalysisRate, KeepsTheAnalysisRatesAndBringsOthersTo500) {
    const std::vector<std::pair<double, int>> cases = {{250, 250}, {500, 500},  {1000, 1000}, {360, 500},
                                                       {128, 500}, {2000, 500}, {999.9, 500}, {250.5, 500}};
    for (const auto &c : cases) EXPECT_EQ(Resampler::analysisRateFor(c.first), c.second) << c.first;
}

struct PassBand {
    const char *label;
    double from;
    double to;
    double frequency;
};

void PrintTo(const PassBand &c, std::ostream *os) { *os << c.label; }

class PassBandTone : public ::testing::TestWithParam<PassBand> {};

// Sample k of the output must be the tone at time k / to: right amplitude
// and no delay, over the whole signal including both ends.
TEST_P(PassBandTone, KeepsAmplitudeAndPhase) {
    const PassBand &c = GetParam();
    const std::vector<double> input = sine(c.frequency, c.from, 10.0, 2.0, 1.5);
    const std::vector<double> output = resampled(input, c.from, c.to);
    ASSERT_EQ(static_cast<std::int64_t>(output.size()), std::llround(input.size() * c.to / c.from));
    const std::vector<double> ideal = sine(c.frequency, c.to, 10.0, 2.0, 1.5);
    double worst = 0.0;
    // The tone starts and stops abruptly, which no band limit keeps exactly,
    // and past the last input sample there is no tone to compare with; away
    // from the first and last half second the output must be the tone.
    const auto margin = static_cast<std::size_t>(0.5 * c.to);
    for (std::size_t i = margin; i + margin < output.size(); ++i)
        worst = std::max(worst, std::fabs(output[i] - ideal[i]));
    EXPECT_LT(worst, 1e-3) << "largest deviation from the ideal tone";  // 0.05 % of the amplitude
}

INSTANTIATE_TEST_SUITE_P(
    Resampler, PassBandTone,
    ::testing::Values(PassBand{"Mit360To500", 360, 500, 10}, PassBand{"Mit360To500Fast", 360, 500, 40},
                      PassBand{"Low128To500", 128, 500, 20}, PassBand{"High720To500", 720, 500, 100},
                      PassBand{"Down2000To500", 2000, 500, 40}, PassBand{"Fractional360p5To500", 360.5, 500, 10}),
    [](const ::testing::TestParamInfo<PassBand> &info) { return std::string(info.param.label); });

struct StopBand {
    const char *label;
    double from;
    double frequency;  // above 250 Hz, the Nyquist frequency at 500 samples/s
};

void PrintTo(const StopBand &c, std::ostream *os) { *os << c.label; }

class AboveNyquist : public ::testing::TestWithParam<StopBand> {};

// Plain decimation would fold these tones to 500 - f Hz at full amplitude.
TEST_P(AboveNyquist, IsRemovedNotAliased) {
    const StopBand &c = GetParam();
    const std::vector<double> output = resampled(sine(c.frequency, c.from, 4.0), c.from, 500.0);
    double peak = 0.0;
    for (std::size_t i = 250; i + 250 < output.size(); ++i) peak = std::max(peak, std::fabs(output[i]));
    EXPECT_LT(peak, 1e-3) << "what is left of a unit tone";
}

INSTANTIATE_TEST_SUITE_P(Resampler, AboveNyquist,
                         ::testing::Values(StopBand{"Tone300From720", 720, 300}, StopBand{"Tone340From720", 720, 340},
                                           StopBand{"Tone400From2000", 2000, 400},
                                           StopBand{"Tone700From2000", 2000, 700}),
                         [](const ::testing::TestParamInfo<StopBand> &info) { return std::string(info.param.label); });

// An ECG starts at its electrode offset, not at 0 mV; the ends must not ring
// (a ringing step could be taken for a beat).
TEST(ResamplerEnds, ConstantOffsetStaysFlat) {
    for (double from : {360.0, 128.0, 50.0}) {
        const std::vector<double> output =
            resampled(std::vector<double>(static_cast<std::size_t>(5 * from), 4.0), from, 500.0);
        double worst = 0.0;
        for (double value : output) worst = std::max(worst, std::fabs(value - 4.0));
        EXPECT_LT(worst, 1e-4) << from;  // 100 nV on 4 mV
    }
}

TEST(ResamplerEnds, ShortAndEmptySignals) {
    EXPECT_TRUE(resampled({}, 360, 500).empty());
    const std::vector<double> one = resampled({0.7}, 360, 500);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_NEAR(one[0], 0.7, 1e-6);
}

}  // namespace

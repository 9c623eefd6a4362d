// Checks every FIR table's lookup, shape and frequency response. The
// response is a plain DTFT of the taps, evaluated here and sharing nothing
// with the design tool.
#include "analysis/FirTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const double kHalfPower = 1.0 / std::sqrt(2.0);

double magnitude(const FirTable &t, double frequency, double rate) {
    std::complex<double> sum = 0.0;
    for (int k = 0; k < t.length; ++k) sum += t.taps[k] * std::polar(1.0, -2.0 * kPi * frequency * k / rate);
    return std::abs(sum);
}

double decibels(double gain) { return 20.0 * std::log10(gain); }

double tapSum(const FirTable &t) {
    double sum = 0.0;
    for (int k = 0; k < t.length; ++k) sum += t.taps[k];
    return sum;
}

// First frequency where |H| crosses `level` walking from `from` towards `to`
// in steps of `step`, refined by bisection; empty if it never does.
std::optional<double> firstCrossing(const FirTable &t, double rate, double from, double to, double step, double level) {
    const auto above = [&](double f) { return magnitude(t, f, rate) > level; };
    const bool startAbove = above(from);
    const double direction = to > from ? 1.0 : -1.0;
    for (double f = from; direction * (f - to) < 0.0; f += direction * step) {
        double a = f;
        double b = f + direction * step;
        if (above(b) == startAbove) continue;
        for (int i = 0; i < 60; ++i) {
            const double m = 0.5 * (a + b);
            (above(m) == startAbove ? a : b) = m;
        }
        return 0.5 * (a + b);
    }
    return std::nullopt;
}

// Largest |(|H| - 1)| on a 0.5 Hz grid over [from, to].
double worstPassBandError(const FirTable &t, double rate, double from, double to) {
    double worst = 0.0;
    for (double f = from; f <= to; f += 0.5) worst = std::max(worst, std::fabs(magnitude(t, f, rate) - 1.0));
    return worst;
}

struct Served {
    std::string what;
    std::optional<FirTable> table;
};

// Every table the lookup serves, for the checks that apply to all of them.
std::vector<Served> allServedTables() {
    std::vector<Served> all = {{"anti-alias", FirTables::antiAlias1000()},
                               {"drift high-pass", FirTables::driftHighPass500()}};
    for (int rate : {250, 500, 1000}) {
        const std::string r = std::to_string(rate);
        all.push_back({"notch 50hz " + r, FirTables::notch("50hz", rate)});
        all.push_back({"notch 60hz " + r, FirTables::notch("60hz", rate)});
        all.push_back({"muscle 40hz " + r, FirTables::muscle("40hz", rate)});
        all.push_back({"muscle 25hz " + r, FirTables::muscle("25hz", rate)});
        all.push_back({"baseline " + r, FirTables::baseline(rate)});
    }
    return all;
}

}  // namespace

TEST(FirTables, LookupServesExactlyTheChainsOptionsAndRates) {
    struct Case {
        std::string what;
        std::optional<FirTable> table;
        int length;  // 0: no table
        int delay;
    };
    const std::vector<Case> cases = {
        {"anti-alias", FirTables::antiAlias1000(), 29, 14},
        {"drift high-pass", FirTables::driftHighPass500(), 1501, 750},
        {"notch 50hz 250", FirTables::notch("50hz", 250), 109, 54},
        {"notch 50hz 500", FirTables::notch("50hz", 500), 195, 97},
        {"notch 50hz 1000", FirTables::notch("50hz", 1000), 391, 195},
        {"notch 60hz 250", FirTables::notch("60hz", 250), 109, 54},
        {"notch 60hz 500", FirTables::notch("60hz", 500), 195, 97},
        {"notch 60hz 1000", FirTables::notch("60hz", 1000), 391, 195},
        {"notch 55hz 500", FirTables::notch("55hz", 500), 0, 0},
        {"notch 50Hz 500 (options are exact)", FirTables::notch("50Hz", 500), 0, 0},
        {"notch 50hz 360", FirTables::notch("50hz", 360), 0, 0},
        {"notch 60hz 2000", FirTables::notch("60hz", 2000), 0, 0},
        {"muscle 40hz 250", FirTables::muscle("40hz", 250), 62, 31},
        {"muscle 25hz 250", FirTables::muscle("25hz", 250), 62, 31},
        {"muscle 30hz 250 (any option)", FirTables::muscle("30hz", 250), 62, 31},
        {"muscle 40hz 500", FirTables::muscle("40hz", 500), 12, 6},
        {"muscle 25hz 500", FirTables::muscle("25hz", 500), 19, 9},
        {"muscle 40hz 1000", FirTables::muscle("40hz", 1000), 22, 11},
        {"muscle 25hz 1000", FirTables::muscle("25hz", 1000), 34, 17},
        {"muscle 30hz 500", FirTables::muscle("30hz", 500), 0, 0},
        {"muscle 30hz 1000", FirTables::muscle("30hz", 1000), 0, 0},
        {"muscle 40hz 360", FirTables::muscle("40hz", 360), 0, 0},
        {"baseline 250", FirTables::baseline(250), 382, 191},
        {"baseline 500", FirTables::baseline(500), 501, 250},
        {"baseline 1000", FirTables::baseline(1000), 1355, 677},
        {"baseline 360", FirTables::baseline(360), 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.length == 0) {
            EXPECT_FALSE(c.table.has_value());
            continue;
        }
        ASSERT_TRUE(c.table.has_value());
        EXPECT_NE(c.table->taps, nullptr);
        EXPECT_EQ(c.table->length, c.length);
        EXPECT_EQ(c.table->delay, c.delay);
    }
    EXPECT_NE(FirTables::notch("50hz", 500)->taps, FirTables::notch("60hz", 500)->taps);
    EXPECT_NE(FirTables::muscle("40hz", 500)->taps, FirTables::muscle("25hz", 500)->taps);
}

// Linear phase: every table is mirror-symmetric about its centre, so a stage
// delays the waveform without bending it. The 382-tap table is a 381-tap
// symmetric design behind one zero tap, centred on its delay of 191.
TEST(FirTables, EveryTableIsLinearPhaseAndPeaksAtItsDelay) {
    for (const Served &s : allServedTables()) {
        SCOPED_TRACE(s.what);
        ASSERT_TRUE(s.table.has_value());
        const FirTable &t = *s.table;
        const bool paddedBaseline = t.length == 382;
        const int first = paddedBaseline ? 1 : 0;
        if (paddedBaseline) {
            EXPECT_EQ(t.taps[0], 0.0);
        }
        for (int k = first; k < t.length; ++k) ASSERT_EQ(t.taps[k], t.taps[t.length - 1 - k + first]) << "tap " << k;

        const int peak =
            static_cast<int>(std::max_element(t.taps, t.taps + t.length,
                                              [](double a, double b) { return std::fabs(a) < std::fabs(b); }) -
                             t.taps);
        // Even lengths have two equal middle taps, delay - 1 and delay.
        if (t.length % 2 == 0 && !paddedBaseline) {
            EXPECT_TRUE(peak == t.delay || peak == t.delay - 1) << "peak at " << peak;
        } else {
            EXPECT_EQ(peak, t.delay);
        }
    }
}

TEST(FirTables, AntiAliasGainsAroundTheDecimatedNyquist) {
    const FirTable t = FirTables::antiAlias1000();
    struct Row {
        double frequency;
        double gain;
        double tolerance;
    };
    const std::vector<Row> rows = {
        {0.0, 1.0, 1e-12},     // gain within +-1e-12
        {150.0, 0.97, 0.005},  // gain within +-0.005
        {200.0, 0.49, 0.005},  // gain within +-0.005
        {250.0, 0.03, 0.005},  // gain within +-0.005
    };
    for (const Row &r : rows)
        EXPECT_NEAR(magnitude(t, r.frequency, 1000.0), r.gain, r.tolerance) << r.frequency << " Hz";
    EXPECT_NEAR(tapSum(t), 1.0, 1e-12);
    EXPECT_EQ(t.taps[14], 0.3979277402170436);
    // Whatever would alias after 2:1 decimation stays at or below 0.035.
    for (double f = 250.0; f <= 500.0; f += 1.0) ASSERT_LE(magnitude(t, f, 1000.0), 0.035) << f << " Hz";
}

TEST(FirTables, HighPassCornersRemoveDcAndKeepThePassBand) {
    struct Row {
        std::string what;
        FirTable table;
        double rate;
        double corner;
        double cornerTolerance;  // Hz
        double passFrom;         // Hz, from here to Nyquist
        double passTolerance;    // largest ||H| - 1|
    };
    const std::vector<Row> rows = {
        {"drift high-pass", FirTables::driftHighPass500(), 500, 0.45, 0.01, 1.5, 0.005},  // -3 dB within +-0.01 Hz
        {"baseline 250", *FirTables::baseline(250), 250, 0.95, 0.01, 3.0, 0.005},         // -3 dB within +-0.01 Hz
        {"baseline 500", *FirTables::baseline(500), 500, 1.3, 0.01, 4.0, 0.005},          // -3 dB within +-0.01 Hz
        // 1355 taps barely reach a 0.7 Hz corner: a few per cent of ripple is the price.
        {"baseline 1000", *FirTables::baseline(1000), 1000, 0.7, 0.01, 2.1, 0.035},  // -3 dB within +-0.01 Hz
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        EXPECT_LT(magnitude(r.table, 0.0, r.rate), 1e-12);
        EXPECT_LT(std::fabs(tapSum(r.table)), 1e-12);
        const auto corner = firstCrossing(r.table, r.rate, 0.0, 5.0 * r.corner, r.corner / 50.0, kHalfPower);
        ASSERT_TRUE(corner.has_value());
        EXPECT_NEAR(*corner, r.corner, r.cornerTolerance);
        EXPECT_LE(worstPassBandError(r.table, r.rate, r.passFrom, r.rate / 2.0), r.passTolerance);
    }
}

TEST(FirTables, NotchBandsDepthAndUnityAwayFromTheBand) {
    struct Row {
        std::string option;
        int rate;
        double line;
        double lowEdge;        // -3 dB, within +-0.05 Hz
        double highEdge;       // -3 dB, within +-0.05 Hz
        double depthDb;        // attenuation at the mains frequency, within +-1 dB
        double passTolerance;  // ||H| - 1| at 10, 30 and 100 Hz
    };
    const std::vector<Row> rows = {
        {"50hz", 250, 50.0, 47.25, 53.0, 87.0, 0.005}, {"50hz", 500, 50.0, 47.25, 53.0, 60.0, 0.01},
        {"50hz", 1000, 50.0, 47.75, 52.5, 60.0, 0.02},  // 391 taps for a 4.75 Hz band: more ripple
        {"60hz", 250, 60.0, 57.25, 63.0, 87.0, 0.005}, {"60hz", 500, 60.0, 57.25, 63.0, 60.0, 0.01},
        {"60hz", 1000, 60.0, 57.75, 62.5, 60.0, 0.02},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.option + " at " + std::to_string(r.rate));
        const std::optional<FirTable> t = FirTables::notch(QString::fromStdString(r.option), r.rate);
        ASSERT_TRUE(t.has_value());
        const auto low = firstCrossing(*t, r.rate, r.line, r.line - 20.0, 0.05, kHalfPower);
        const auto high = firstCrossing(*t, r.rate, r.line, r.line + 20.0, 0.05, kHalfPower);
        ASSERT_TRUE(low.has_value() && high.has_value());
        EXPECT_NEAR(*low, r.lowEdge, 0.05);
        EXPECT_NEAR(*high, r.highEdge, 0.05);
        EXPECT_NEAR(-decibels(magnitude(*t, r.line, r.rate)), r.depthDb, 1.0);
        EXPECT_NEAR(magnitude(*t, 0.0, r.rate), 1.0, 1e-9);
        for (double f : {10.0, 30.0, 100.0}) EXPECT_NEAR(magnitude(*t, f, r.rate), 1.0, r.passTolerance) << f << " Hz";
    }
}

TEST(FirTables, MuscleLowPassCornersAndUnityGain) {
    struct Row {
        std::string option;
        int rate;
        double corner;  // -3 dB, within +-0.05 Hz
    };
    // The 1000/s "25hz" table has unity gain like every other low-pass, so
    // switching rates never changes ECG amplitudes.
    const std::vector<Row> rows = {
        {"40hz", 250, 41.0}, {"40hz", 500, 39.75}, {"40hz", 1000, 41.5}, {"25hz", 500, 25.0}, {"25hz", 1000, 25.0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.option + " at " + std::to_string(r.rate));
        const std::optional<FirTable> t = FirTables::muscle(QString::fromStdString(r.option), r.rate);
        ASSERT_TRUE(t.has_value());
        EXPECT_NEAR(tapSum(*t), 1.0, 1e-12);
        const auto corner = firstCrossing(*t, r.rate, 0.0, r.rate / 2.0, 0.25, kHalfPower);
        ASSERT_TRUE(corner.has_value());
        EXPECT_NEAR(*corner, r.corner, 0.05);
    }

    // The 250/s table also rejects mains: -62 dB at 50 Hz (within +-1 dB)
    // and no stop-band lobe above -61 dB beyond it.
    const FirTable t = *FirTables::muscle("40hz", 250);
    EXPECT_NEAR(decibels(magnitude(t, 50.0, 250.0)), -62.0, 1.0);
    for (double f = 50.0; f <= 125.0; f += 0.25) ASSERT_LE(decibels(magnitude(t, f, 250.0)), -61.0) << f << " Hz";
}

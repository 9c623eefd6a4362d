// The per-lead checks of a beat: clipping near the converter's limits, and
// too little amplitude once the noise filter has taken out what lies above
// the ECG's main band; and that filter's own response.
#include "analysis/BeatLeadCheck.h"
#include "analysis/FirTables.h"
#include "analysis/SignalBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kRate = 250;

// Zero-phase gain of a symmetric table, summed directly.
double gain(const FirTable &t, double frequency) {
    const double centre = (t.length - 1) / 2.0;
    double sum = 0.0;
    for (int k = 0; k < t.length; ++k) sum += t.taps[k] * std::cos(2.0 * kPi * frequency * (k - centre) / kRate);
    return sum;
}

TEST(AmplitudeNoiseFilter, HasTheGivenTapsAndResponse) {
    const FirTable t = FirTables::amplitudeNoiseFilter();
    ASSERT_EQ(t.length, 48);
    EXPECT_EQ(t.delay, 24);
    EXPECT_EQ(t.taps[0], -0.00416575);
    EXPECT_EQ(t.taps[1], -0.00435634);
    EXPECT_EQ(t.taps[2], -0.00486754);
    double sum = 0.0;
    for (int k = 0; k < t.length; ++k) {
        EXPECT_EQ(t.taps[k], t.taps[t.length - 1 - k]) << k;
        sum += t.taps[k];
    }
    EXPECT_NEAR(sum, 1.0085, 1e-12);

    struct Point {
        double frequency;
        double gain;
    };
    for (const Point &p : {Point{8.0, 0.74}, Point{10.0, 0.47}, Point{15.0, 0.03}})
        EXPECT_NEAR(gain(t, p.frequency), p.gain, 1e-9) << p.frequency << " Hz";
    double stopPeak = 0.0;
    for (double f = 20.0; f <= 125.0; f += 0.01) stopPeak = std::max(stopPeak, std::fabs(gain(t, f)));
    EXPECT_LT(stopPeak, 0.01);
    // A low-pass, falling through the transition band.
    for (double f = 6.0; f < 15.0; f += 0.25) EXPECT_GT(gain(t, f), gain(t, f + 0.25)) << f;
}

using Shape = std::function<double(std::int64_t)>;

// One channel of `length` samples at 250/s.
std::unique_ptr<SignalBuffer> feed(const Shape &shape, int length, int bits = 16) {
    auto buffer = std::make_unique<SignalBuffer>(4096, 81920, 1, kRate);
    buffer->setResolutionBits(bits);
    std::vector<double> x(length);
    for (int n = 0; n < length; ++n) x[n] = std::round(shape(n));
    const double *rows[] = {x.data()};
    buffer->append(length, rows);
    return buffer;
}

Shape sine(double amplitude, double hz, double zeroAt = 0.0) {
    return [=](std::int64_t n) { return amplitude * std::sin(2.0 * kPi * hz * (n - zeroAt) / kRate); };
}

Shape clamped(Shape s, double limit) {
    return [=](std::int64_t n) { return std::clamp(s(n), -limit, limit); };
}

constexpr std::int64_t kFiducial = 1000;
constexpr std::int64_t kClipWindow = kFiducial - kRate / 2;  // first sample of the clipping window

// A half-sine hump across the clipping window, cut flat at `limit`.
Shape hump(double amplitude, double limit) {
    return [=](std::int64_t n) {
        const double x = amplitude * std::sin(kPi * (n - kClipWindow) / kRate);
        return amplitude > 0 ? std::min(x, limit) : std::max(x, limit);
    };
}

TEST(BeatLeadCheck, FindsFlatToppedLeads) {
    struct Case {
        const char *what;
        Shape shape;
        int bits;
        bool clipped;
    };
    const Case cases[] = {
        {"below half scale: never examined", sine(10000, 5), 16, false},
        // Peaks on a sample, so no two neighbours share the top value.
        {"large but round peaks", sine(30000, 5, 0.5), 16, false},
        // Whole periods inside the second: one flat run per period at each extreme.
        {"three flat tops and bottoms", clamped(sine(30000, 3, kClipWindow), 20000), 16, false},
        {"four flat tops and bottoms", clamped(sine(30000, 4, kClipWindow), 20000), 16, true},
        {"one flat top of 102 samples", hump(25000, 20000), 16, true},
        {"one flat top of 64 samples", hump(25000, 23000), 16, false},
        {"one flat bottom of 102 samples", hump(-25000, -20000), 16, true},
        {"stuck at a constant", [](std::int64_t) { return 20000.0; }, 16, true},
        // At 12 bits the limit is 1024 units, not 16384.
        {"12-bit lead, four flat tops", clamped(sine(3000, 4, kClipWindow), 1500), 12, true},
        {"same samples at 16 bits", clamped(sine(3000, 4, kClipWindow), 1500), 16, false},
    };
    for (const Case &c : cases) {
        const auto source = feed(c.shape, 2000, c.bits);
        BeatLeadCheck check(*source);
        EXPECT_EQ(check.clipped(0, kFiducial), c.clipped) << c.what;
    }
}

TEST(BeatLeadCheck, FindsWeakLeadsAfterNoiseFiltering) {
    const auto sum = [](Shape a, Shape b) { return [=](std::int64_t n) { return a(n) + b(n); }; };
    struct Case {
        const char *what;
        Shape shape;
        int bits;
        int length;
        std::int64_t fiducial;
        bool weak;
    };
    const Case cases[] = {
        {"flat", [](std::int64_t) { return 0.0; }, 16, 2000, kFiducial, true},
        {"slow wave of 200 units", sine(100, 2), 16, 2000, kFiducial, false},
        {"slow wave of 24 units", sine(12, 2), 16, 2000, kFiducial, true},
        {"30 Hz noise of 2000 units", sine(1000, 30), 16, 2000, kFiducial, true},
        {"50 Hz hum of 3000 units", sine(1500, 50), 16, 2000, kFiducial, true},
        {"noise over a 60-unit wave", sum(sine(1000, 30), sine(30, 2)), 16, 2000, kFiducial, false},
        // 12 bits need 128 units, not 32.
        {"12-bit, 100 units", sine(50, 2), 12, 2000, kFiducial, true},
        {"12-bit, 200 units", sine(100, 2), 12, 2000, kFiducial, false},
        // The window reaches before the recording and past its end; a flat
        // lead with an offset must not gain a step there.
        {"offset, at the start", [](std::int64_t) { return 5000.0; }, 16, 2000, 125, true},
        {"offset, at the end", [](std::int64_t) { return 5000.0; }, 16, 1100, kFiducial, true},
    };
    for (const Case &c : cases) {
        const auto source = feed(c.shape, c.length, c.bits);
        BeatLeadCheck check(*source);
        EXPECT_EQ(check.weak(0, c.fiducial), c.weak) << c.what;
        EXPECT_EQ(check.good(0, c.fiducial), !c.weak) << c.what;
    }
}

}  // namespace

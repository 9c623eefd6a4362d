#include "StreamTestSupport.h"
#include "analysis/AveragingDecimator.h"
#include "analysis/DecimatingFirStage.h"
#include "analysis/FftBaselineStage.h"
#include "analysis/FirStage.h"

#include <gtest/gtest.h>
#include <cmath>
#include <complex>

using namespace streamtest;

namespace {
constexpr int kBig = 1 << 16;  // ring capacity that never overwrites in these tests

int sum(const std::vector<int> &v, int first) {
    for (int n : v) first += n;
    return first;
}
}  // namespace

// Fed in uneven batches after `before` samples were already there: output m
// is the per-sample sum at the input's own index, D samples behind the input,
// and the samples before the attach point count as zeros.
TEST(FirStage, MatchesTheDirectSumAtTheInputIndex) {
    struct Case {
        const char *name;
        int taps;
        bool symmetric;
        int delay, before;
        std::vector<int> batches;
    };
    for (const Case &c : std::vector<Case>{{"odd symmetric", 7, true, 3, 0, {1, 5, 100, 3}},
                                           {"even symmetric", 12, true, 6, 37, {12, 1, 40}},
                                           {"asymmetric", 9, false, 4, 10, {3, 60, 2}},
                                           {"causal", 5, false, 0, 4, {1, 1, 30}},
                                           {"window ends at m", 5, true, 4, 0, {8, 9}},
                                           {"long, past the history's slide", 301, true, 150, 200, {2000, 51, 1700}}}) {
        SCOPED_TRACE(c.name);
        const Signal x = randomSignal(2, sum(c.batches, c.before), 12000, 7);
        const std::vector<double> h = randomTaps(c.taps, c.symmetric, 11);
        SignalBuffer input(64, kBig, 2, 500), output(64, kBig, 2, 500);
        appendRange(input, x, 0, c.before);
        FirStage stage(input, output, h.data(), c.taps, c.delay);
        stage.followInput();
        std::int64_t end = c.before;
        for (int n : c.batches) {
            appendRange(input, x, end, n);
            end += n;
            EXPECT_EQ(output.length(), std::max<std::int64_t>(c.before, end - c.delay));
        }
        EXPECT_EQ(output.readSample(0, c.before - 1), 0);
        for (int ch = 0; ch < 2; ++ch)
            for (std::int64_t m = c.before; m < output.length(); ++m)
                ASSERT_LE(std::abs(output.readSample(ch, m) -
                                   SignalSource::toSample16(directFir(h, x[ch], m + c.delay, c.before, end))),
                          1)
                    << "channel " << ch << " index " << m;
    }
}

// Sums beyond 16 bits saturate instead of wrapping to the opposite sign; the
// double variant keeps the whole value and its fraction.
TEST(FirStage, NarrowsBySaturatingTruncationAndTheDoubleVariantKeepsFractions) {
    struct Case {
        double value, tap;
        int expected16;
        double expectedDouble;
    };
    for (const Case &c : std::vector<Case>{{30000, 1.0, 32767, 90000},
                                           {-30000, 1.0, -32768, -90000},
                                           {10000, 1.0, 30000, 30000},
                                           {3, 0.5, 4, 4.5},
                                           {-3, 0.5, -4, -4.5}}) {
        SCOPED_TRACE(c.value);
        const std::vector<double> h(3, c.tap);
        SignalBuffer input(8, 64, 1, 500), out16(8, 64, 1, 500);
        DoubleSignalBuffer outDouble(8, 64, 1, 500);
        FirStage narrow(input, out16, h.data(), 3, 1);
        DoubleFirStage wide(input, outDouble, h.data(), 3, 1);
        appendRange(input, Signal(1, std::vector<double>(6, c.value)), 0, 6);
        narrow.process();
        wide.process();
        ASSERT_EQ(out16.length(), 5);
        EXPECT_EQ(out16.readSample(0, 3), c.expected16);
        EXPECT_NEAR(outDouble.readValue(0, 3), c.expectedDouble, 1e-9);
    }
}

// Factor 2: output m = sum h[j] x[2m + L/2 - j], produced while 2m < length -
// (L/2 + 2); factor 1 copies every sample as soon as it arrives.
TEST(DecimatingFirStage, FilteredHalvingAndCopy) {
    struct Case {
        const char *name;
        int factor, taps, before;
        std::vector<int> batches;
    };
    for (const Case &c : std::vector<Case>{{"halving from 0", 2, 29, 0, {1, 16, 17, 51, 3000}},
                                           {"halving from an odd start", 2, 29, 7, {20, 51}},
                                           {"halving, even table", 2, 12, 4, {9, 30}},
                                           {"copy", 1, 29, 5, {1, 51, 2000}}}) {
        SCOPED_TRACE(c.name);
        const Signal x = randomSignal(3, sum(c.batches, c.before), 20000, 3);
        const std::vector<double> h = randomTaps(c.taps, true, 5);
        SignalBuffer input(64, kBig, 3, 1000), output(64, kBig, 3, 500);
        appendRange(input, x, 0, c.before);
        DecimatingFirStage stage(input, output, h.data(), c.taps, c.factor);
        const std::int64_t first = (c.before + c.factor - 1) / c.factor;
        std::int64_t end = c.before;
        for (int n : c.batches) {
            appendRange(input, x, end, n);
            end += n;
            stage.process();
            std::int64_t expectedEnd = c.factor == 1 ? end : first;
            while (c.factor == 2 && 2 * expectedEnd < end - (c.taps / 2 + 2)) ++expectedEnd;
            EXPECT_EQ(output.length(), expectedEnd) << "after " << end;
        }
        for (int ch = 0; ch < 3; ++ch)
            for (std::int64_t m = first; m < output.length(); ++m) {
                const double expected =
                    c.factor == 1 ? x[ch][m] : directFir(h, x[ch], 2 * m + c.taps / 2, c.before, end);
                ASSERT_LE(std::abs(output.readSample(ch, m) - SignalSource::toSample16(expected)), 1)
                    << "channel " << ch << " output " << m;
            }
    }
}

// Output m = mean of x[F m .. F m + F - 1] truncated toward zero, produced
// while F m < length - F.
TEST(AveragingDecimator, TruncatedMeansWithinTheProductionLimit) {
    struct Case {
        int factor, before;
        std::vector<int> batches;
    };
    for (const Case &c :
         std::vector<Case>{{2, 0, {1, 2, 1, 51, 2500}}, {4, 0, {3, 5, 8, 51}}, {4, 6, {1, 20}}, {1, 0, {1, 9}}}) {
        SCOPED_TRACE(c.factor);
        const Signal x = randomSignal(2, sum(c.batches, c.before), 30000, 9);
        SignalBuffer input(64, kBig, 2, 1000), output(64, kBig, 2, 250);
        appendRange(input, x, 0, c.before);
        AveragingDecimator stage(input, output, c.factor);
        const std::int64_t first = (c.before + c.factor - 1) / c.factor;
        std::int64_t end = c.before;
        for (int n : c.batches) {
            appendRange(input, x, end, n);
            end += n;
            stage.process();
            std::int64_t expectedEnd = first;
            while (c.factor * expectedEnd < end - c.factor) ++expectedEnd;
            EXPECT_EQ(output.length(), expectedEnd) << "after " << end;
        }
        for (int ch = 0; ch < 2; ++ch)
            for (std::int64_t m = first; m < output.length(); ++m) {
                long long total = 0;
                for (int i = 0; i < c.factor; ++i) total += static_cast<long long>(x[ch][c.factor * m + i]);
                ASSERT_EQ(output.readSample(ch, m), total / c.factor) << "channel " << ch << " output " << m;
            }
    }
}

// An offset, a 10 Hz wave and noise at 500 samples/s: silent until 1024
// samples, then 64 outputs per 64 inputs at the input's own indexes; each
// equals its input less the real part of bins 0, 1, 1022 and 1023 of its
// window, which leaves the wave and noise and drops the offset.
TEST(FftBaselineStage, WindowsOutputsAndRemovedBins) {
    constexpr int before = 100, total = before + 1024 + 3 * 64 + 10;
    const double pi = std::acos(-1.0);
    Signal x = randomSignal(2, total, 300, 21);
    for (auto &row : x)
        for (int i = 0; i < total; ++i) row[i] += 5000 + 1000 * std::sin(2 * pi * 10 * i / 500.0);
    SignalBuffer input(64, kBig, 2, 500), output(64, kBig, 2, 500);
    appendRange(input, x, 0, before);
    FftBaselineStage stage(input, output);
    stage.followInput();
    const std::int64_t first = before + FftBaselineStage::kFirstKept;
    std::int64_t end = before;
    const std::vector<std::pair<int, int>> steps = {{1023, 0}, {1, 64}, {63, 64}, {1, 128}, {128, 256}, {10, 256}};
    for (auto [append, produced] : steps) {  // samples appended, outputs so far
        appendRange(input, x, end, append);
        end += append;
        EXPECT_EQ(output.length() - first, produced) << "after " << end;
    }
    const std::vector<int> bins = {0, 1, 1022, 1023};
    for (int ch = 0; ch < 2; ++ch)
        for (int w = 0; w < 4; ++w) {
            const std::int64_t start = before + 64 * w;
            std::vector<std::complex<double>> spectrum;
            for (int b : bins) {
                std::complex<double> s = 0;
                for (int i = 0; i < 1024; ++i) s += x[ch][start + i] * std::polar(1.0, -2 * pi * b * i / 1024);
                spectrum.push_back(s);
            }
            for (int pos = 480; pos < 544; ++pos) {
                double removed = 0;
                for (std::size_t i = 0; i < bins.size(); ++i)
                    removed += (spectrum[i] * std::polar(1.0, 2 * pi * bins[i] * pos / 1024)).real() / 1024;
                const int got = output.readSample(ch, start + pos);
                ASSERT_LE(std::abs(got - SignalSource::toSample16(x[ch][start + pos] - removed)), 1) << pos;
                ASSERT_LT(std::abs(got - (x[ch][start + pos] - 5000)), 60) << pos;
            }
        }
}

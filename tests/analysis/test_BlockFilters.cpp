#include "FilterTestSupport.h"
#include "analysis/BlockFirFilter.h"
#include "analysis/BlockIirFilter.h"
#include "analysis/FilteredSignal.h"
#include "analysis/LinearDetrend.h"

#include <gtest/gtest.h>

namespace {

// Wraps a filter and counts the blocks it computed.
class CountingFilter : public BlockFilter {
public:
    explicit CountingFilter(std::unique_ptr<BlockFilter> inner, std::vector<std::int64_t> &log)
        : inner_(std::move(inner)), log_(log) {}
    void apply(const BlockWindow &w, std::int16_t *out) const override {
        log_.push_back(w.block);
        inner_->apply(w, out);
    }

private:
    std::unique_ptr<BlockFilter> inner_;
    std::vector<std::int64_t> &log_;
};

}  // namespace

// The FIR block filter reproduces its taps from an impulse, including an
// impulse in the neighbouring block that reaches across the boundary.
TEST(BlockFirFilter, ImpulseResponseCrossesBlockBoundaries) {
    const std::vector<double> taps = {0.1, -0.2, 0.4, 0.25, -0.05};  // delay 2
    for (std::int64_t impulse : {std::int64_t{63}, std::int64_t{64}, std::int64_t{65}, std::int64_t{100}}) {
        SCOPED_TRACE(impulse);
        auto record = makeRecord(
            500, 256, 1, [&](std::int64_t i) { return i == impulse ? 10000.0 : 0.0; }, 64);
        FilteredSignal view(*record);
        view.setFilter(std::make_unique<BlockFirFilter>(taps.data(), 5, 2));
        for (std::int64_t j = 0; j < 256; ++j) {
            const std::int64_t k = j + 2 - impulse;  // y[j] = sum h[k] x[j + D - k]
            const int expected = k >= 0 && k < 5 ? static_cast<int>(10000 * taps[static_cast<std::size_t>(k)]) : 0;
            ASSERT_EQ(view.readSample(0, j), expected) << "j=" << j;
        }
    }
}

TEST(BlockFilters, OverflowingOutputsSaturate) {
    const std::vector<double> gain = {3.0};
    auto record = makeRecord(
        500, 128, 1, [](std::int64_t i) { return i % 2 ? 20000.0 : -20000.0; }, 64);
    FilteredSignal fir(*record);
    fir.setFilter(std::make_unique<BlockFirFilter>(gain.data(), 1, 0));
    EXPECT_EQ(fir.readSample(0, 1), 32767);
    EXPECT_EQ(fir.readSample(0, 2), -32768);

    FilteredSignal detrend(*record);
    detrend.setFilter(std::make_unique<LinearDetrend>(0, -30000, 64, -30000, 127, -30000));
    EXPECT_EQ(detrend.readSample(0, 1), 32767) << "20000 - (-30000) does not wrap";
}

// Forward-backward filtering: zero phase, and the squared single-pass
// magnitude (single pass 0.54 at 0.2 Hz for the 500/s drift high-pass, 0.51
// at 0.5 Hz for the 1000/s baseline, 0.54 at 0.67 Hz for the 500/s baseline).
TEST(BlockIirFilter, TwoPassesGiveZeroPhaseAndSquaredMagnitude) {
    struct Case {
        const char *name;
        IirCoefficients c;
        int rate;
        int context;
        double hz;
        double singlePass;
    };
    const std::vector<Case> cases = {
        {"drift 500", ReviewIir::driftHighPass500(), 500, 2000, 0.2, 0.54},
        {"baseline 1000", ReviewIir::baseline1000(), 1000, 3000, 0.5, 0.51},
        {"baseline 500", ReviewIir::baseline500(), 500, 3000, 0.67, 0.54},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int n = 8192;
        auto record = makeRecord(
            c.rate, 5 * n, 1,
            [&](std::int64_t i) { return 10000.0 * std::sin(2 * M_PI * c.hz * static_cast<double>(i) / c.rate); }, n);
        FilteredSignal view(*record);
        view.setFilter(std::make_unique<BlockIirFilter>(c.c, c.context, true, 1));
        // Whole periods in the middle block, far from the record's ends.
        const int period = static_cast<int>(std::lround(c.rate / c.hz));
        const int count = (n / period) * period;
        const double gain = amplitudeAt(view, 0, 2 * n, count, c.hz) / 10000.0;
        EXPECT_NEAR(gain, c.singlePass * c.singlePass, 0.02);

        // Zero phase: the output is in phase with the input (no lag).
        std::vector<double> in(static_cast<std::size_t>(count)), out(static_cast<std::size_t>(count));
        record->readRange(0, 2 * n, count, in.data());
        view.readRange(0, 2 * n, count, out.data());
        double dot = 0, nin = 0, nout = 0;
        for (int k = 0; k < count; ++k) {
            dot += in[k] * out[k];
            nin += in[k] * in[k];
            nout += out[k] * out[k];
        }
        EXPECT_GT(dot / std::sqrt(nin * nout), 0.995);
    }
}

TEST(BlockIirFilter, NotchRemovesMainsAndKeepsTheBand) {
    struct Case {
        const char *name;
        IirCoefficients c;
        int rate;
        int context;
    };
    for (const Case &c :
         std::vector<Case>{{"500", ReviewIir::notch500(), 500, 500}, {"1000", ReviewIir::notch1000(), 1000, 2000}}) {
        SCOPED_TRACE(c.name);
        const int n = 4096;
        for (double hz : {50.0, 100.0, 10.0, 25.0}) {
            auto record = makeRecord(
                c.rate, 4 * n, 1,
                [&](std::int64_t i) { return 8000.0 * std::sin(2 * M_PI * hz * static_cast<double>(i) / c.rate); }, n);
            FilteredSignal view(*record);
            view.setFilter(std::make_unique<BlockIirFilter>(c.c, c.context, true, 1));
            const int count = c.rate;  // one second, whole periods
            const double gain = amplitudeAt(view, 0, n + 100, count, hz) / 8000.0;
            if (hz == 50.0 || hz == 100.0)
                EXPECT_LT(gain, 0.01) << hz << " Hz";
            else
                EXPECT_NEAR(gain, 1.0, 0.03) << hz << " Hz";
        }
    }
}

// Reading a page through stacked views computes each block of each view
// once, however many neighbours the views above ask for.
TEST(FilteredSignal, StackedViewsComputeEachBlockOnce) {
    auto record = makeRecord(
        500, 64 * 20, 2, [](std::int64_t i) { return static_cast<double>(i % 50); }, 64);
    std::vector<std::int64_t> lower, upper;
    const std::vector<double> identity = {1.0};
    FilteredSignal first(*record);
    first.setFilter(std::make_unique<CountingFilter>(std::make_unique<BlockFirFilter>(identity.data(), 1, 0), lower));
    FilteredSignal second(first);
    second.setFilter(std::make_unique<CountingFilter>(std::make_unique<BlockFirFilter>(identity.data(), 1, 0), upper));

    std::vector<double> page(200);
    second.readRange(0, 100, 200, page.data());  // blocks 1..4
    second.readRange(0, 100, 200, page.data());
    EXPECT_EQ(upper, (std::vector<std::int64_t>{1, 2, 3, 4}));
    EXPECT_EQ(lower, (std::vector<std::int64_t>{0, 1, 2, 3, 4, 5}));
    for (int k = 0; k < 200; ++k) ASSERT_EQ(page[k], (100 + k) % 50);
}

TEST(FilteredSignal, FollowsItsUpstreamAndServesThePartialLastBlock) {
    SignalBuffer upstream(64, 1024, 1, 250);
    upstream.setAmplitudeRange(-300, 300);
    upstream.setChannelNames(QStringList{"II"});
    FilteredSignal view(upstream);
    const std::vector<double> half = {0.5};
    view.setFilter(std::make_unique<BlockFirFilter>(half.data(), 1, 0));
    EXPECT_EQ(view.channelName(0), "II");
    EXPECT_DOUBLE_EQ(view.amplitudeMax(), 300);

    std::vector<double> values(100, 300.0);
    const double *row = values.data();
    upstream.append(100, &row);  // one full block and 36 samples
    EXPECT_EQ(view.length(), 100);
    EXPECT_EQ(view.blockCount(), 1);
    EXPECT_EQ(view.readSample(0, 99), 150) << "the end of the record is filtered too";
    EXPECT_EQ(view.readSample(0, 100), 0);
    upstream.append(100, &row);
    EXPECT_EQ(view.readSample(0, 150), 150) << "appends refresh what was cached";
}

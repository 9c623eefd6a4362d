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

namespace {

// A window over three random blocks of one channel; the first or the last
// neighbour left out as at either end of a record.
struct RandomWindow {
    std::vector<std::int16_t> samples;
    BlockWindow window;
    RandomWindow(int n, unsigned seed, bool first, bool last) : samples(static_cast<std::size_t>(3 * n)) {
        unsigned state = seed * 2654435761u + 1u;
        for (std::int16_t &s : samples) {
            state = state * 1664525u + 1013904223u;
            s = static_cast<std::int16_t>(static_cast<int>(state >> 20) - 2048);
        }
        window.n = n;
        window.block = first ? 0 : 7;
        window.signalLength = 40 * n;
        window.previous = first ? nullptr : samples.data();
        window.current = samples.data() + n;
        window.next = last ? nullptr : samples.data() + 2 * n;
    }
};

}  // namespace

// Channels filtered side by side must come out exactly as each filtered
// alone: the review shows whichever of the two paths ran first.
TEST(BlockFilters, ChannelsSideBySideGiveTheLoneChannelResultsExactly) {
    struct Case {
        const char *what;
        std::shared_ptr<BlockFilter> filter;
    };
    const std::vector<double> taps = {0.1, -0.2, 0.45, 0.3, -0.05, 0.2, 0.1};
    const Case cases[] = {
        {"drift high-pass, order 2", std::make_shared<BlockIirFilter>(ReviewIir::driftHighPass500(), 600, true, 1)},
        {"notch, order 4", std::make_shared<BlockIirFilter>(ReviewIir::notch500(), 500, true, 1)},
        {"baseline, order 3, two runs", std::make_shared<BlockIirFilter>(ReviewIir::baseline1000(), 300, true, 2)},
        {"order 6, one direction",
         std::make_shared<BlockIirFilter>(IirCoefficients{{0.5, 0, 0, 0, 0, 0, 0.1}, {0.3, 0, 0, 0, 0, 0.2}}, 100,
                                          false, 1)},
        {"FIR, 7 taps, delay 3", std::make_shared<BlockFirFilter>(taps.data(), 7, 3)},
    };
    constexpr int n = 254;  // not a multiple of four
    for (const Case &c : cases) {
        for (int count : {1, 2, 3, 4, 5, 7}) {
            std::vector<RandomWindow> inputs;
            for (int k = 0; k < count; ++k) inputs.emplace_back(n, 10u * count + k, k == 1, k == 2);
            std::vector<BlockWindow> windows;
            std::vector<std::vector<std::int16_t>> together(count, std::vector<std::int16_t>(n, -1));
            std::vector<std::int16_t *> outs;
            for (int k = 0; k < count; ++k) {
                windows.push_back(inputs[k].window);
                outs.push_back(together[k].data());
            }
            c.filter->applyGroup(windows.data(), count, outs.data());
            for (int k = 0; k < count; ++k) {
                std::vector<std::int16_t> alone(n, -1);
                c.filter->apply(windows[k], alone.data());
                ASSERT_EQ(together[k], alone) << c.what << ", lane " << k << " of " << count;
            }
        }
    }
}

TEST(BlockFirFilter, FourOutputsAtATimeEqualTheDirectSum) {
    const std::vector<double> taps = {0.3, -0.1, 0.25, 0.05, 0.5};
    for (int delay : {0, 2, 4, 9}) {
        const BlockFirFilter filter(taps.data(), 5, delay);
        const RandomWindow input(61, static_cast<unsigned>(delay), false, false);
        std::vector<std::int16_t> out(61);
        filter.apply(input.window, out.data());
        for (int j = 0; j < 61; ++j) {
            double sum = 0.0;
            for (int k = 0; k < 5; ++k) sum += taps[k] * input.window.at(j + delay - k);
            ASSERT_EQ(out[j], SignalSource::toSample16(sum)) << "delay " << delay << ", sample " << j;
        }
    }
}

namespace {

// Counts the blocks computed alone and the sizes of the groups.
class GroupLoggingFilter : public BlockFilter {
public:
    explicit GroupLoggingFilter(std::unique_ptr<BlockFilter> inner) : inner_(std::move(inner)) {}
    void apply(const BlockWindow &w, std::int16_t *out) const override {
        ++alone;
        inner_->apply(w, out);
    }
    void applyGroup(const BlockWindow *windows, int count, std::int16_t *const *outs) const override {
        groups.push_back(count);
        inner_->applyGroup(windows, count, outs);
    }
    mutable int alone = 0;
    mutable std::vector<int> groups;

private:
    std::unique_ptr<BlockFilter> inner_;
};

}  // namespace

TEST(FilteredSignal, PreparedRangeIsComputedChannelsTogetherWithTheSameValues) {
    auto record = makeRecord(
        500, 64 * 30, 4, [](std::int64_t i) { return 800.0 * std::sin(0.05 * static_cast<double>(i)) + (i % 7); }, 64);
    struct Chain {
        FilteredSignal lower;
        FilteredSignal upper;
        GroupLoggingFilter *lowerLog;
        GroupLoggingFilter *upperLog;
        explicit Chain(SignalSource &record) : lower(record), upper(lower) {
            auto l = std::make_unique<GroupLoggingFilter>(
                std::make_unique<BlockIirFilter>(ReviewIir::driftHighPass500(), 100, true, 1));
            auto u = std::make_unique<GroupLoggingFilter>(
                std::make_unique<BlockIirFilter>(ReviewIir::notch500(), 50, true, 1));
            lowerLog = l.get();
            upperLog = u.get();
            lower.setFilter(std::move(l));
            upper.setFilter(std::move(u));
        }
    };
    Chain prepared(*record);
    Chain plain(*record);
    // Samples 100 .. 299 lie in blocks 1..4; the view below needs 0..5.
    prepared.upper.prepareRange({0, 2, 3, 2}, 100, 200);
    EXPECT_EQ(prepared.upperLog->groups, (std::vector<int>{3, 3, 3, 3}));
    EXPECT_EQ(prepared.lowerLog->groups, (std::vector<int>{3, 3, 3, 3, 3, 3}));
    std::vector<double> a(200), b(200);
    for (int channel = 0; channel < 4; ++channel) {
        prepared.upper.readRange(channel, 100, 200, a.data());
        plain.upper.readRange(channel, 100, 200, b.data());
        ASSERT_EQ(a, b) << channel;
    }
    // Channel 1 was not asked for: it alone was computed as read.
    EXPECT_EQ(prepared.upperLog->alone, 4);
    EXPECT_EQ(plain.upperLog->alone, 16);
    // A range longer than the cache holds is left to the reads.
    const std::size_t groups = prepared.upperLog->groups.size();
    prepared.upper.prepareRange({0, 1}, 0, 64 * 30);
    EXPECT_EQ(prepared.upperLog->groups.size(), groups);
}

#include "FilterTestSupport.h"
#include "analysis/BlockIirFilter.h"
#include "analysis/FilteredSignal.h"
#include "analysis/ReviewFilterChain.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(ReviewFilterChain, StagesFollowTheRateAndTheSwitches) {
    struct Case {
        int rate;
        bool notch, muscle, baseline;
        int stages;  // the detrend view counts as one
    };
    const std::vector<Case> cases = {
        {500, false, false, false, 2},  // detrend and the always-on drift high-pass
        {500, true, true, true, 5},     {500, false, true, false, 3},
        {1000, true, true, true, 4},                                 // no drift stage at 1000/s
        {1000, false, false, false, 1}, {250, true, true, true, 2},  // no notch (and no error) nor baseline at 250/s
        {360, true, true, true, 1},                                  // an odd rate passes through the detrend only
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " " << c.notch << c.muscle << c.baseline);
        auto record = makeRecord(c.rate, 3 * 4096, 1, [](std::int64_t) { return 0.0; });
        ReviewFilterChain chain(*record);
        EXPECT_TRUE(chain.isConfigured());
        chain.configure(c.notch, c.muscle, c.baseline);
        EXPECT_EQ(chain.stageCount(), c.stages);
        EXPECT_EQ(chain.output().samplingRate(), c.rate);
        EXPECT_EQ(chain.output().length(), 3 * 4096);
    }
}

TEST(ReviewFilterChain, UndefinedNotchOptionStopsTheConfiguration) {
    for (int rate : {500, 1000}) {
        SCOPED_TRACE(rate);
        auto record = makeRecord(rate, 4096, 1, [](std::int64_t) { return 7.0; });
        ReviewFilterChain chain(*record, "60hz");
        chain.configure(false, true, true);  // fine while the notch is off
        try {
            chain.configure(true, true, true);
            FAIL() << "expected an error";
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), "pendiente - filtro no definido");
        }
        EXPECT_FALSE(chain.isConfigured());
        EXPECT_EQ(&chain.output(), record.get()) << "no chain is left for that configuration";
    }
    auto slow = makeRecord(250, 4096, 1, [](std::int64_t) { return 7.0; });
    ReviewFilterChain chain250(*slow, "60hz");
    EXPECT_NO_THROW(chain250.configure(true, false, false));
}

// The straight line from the mean of the first three seconds to the mean of
// the last three is removed: a pure ramp becomes 0 apart from truncation.
TEST(ReviewFilterChain, RampRecordDetrendsToZero) {
    for (int rate : {250, 1000}) {
        SCOPED_TRACE(rate);
        const std::int64_t n = 5 * 4096 + 123;
        auto record = makeRecord(rate, n, 2, [](std::int64_t i) { return -3000.0 + 0.25 * static_cast<double>(i); });
        ReviewFilterChain chain(*record);
        std::vector<double> out(static_cast<std::size_t>(n));
        for (int c = 0; c < 2; ++c) {
            chain.output().readRange(c, 0, static_cast<int>(n), out.data());
            for (std::int64_t i = 0; i < n; ++i) ASSERT_LE(std::abs(out[static_cast<std::size_t>(i)]), 1.0) << i;
        }
    }
}

// Away from block edges (where the recursive filters start from rest C
// samples before the block), the offset is gone and a 10 Hz wave is kept.
TEST(ReviewFilterChain, OffsetRecordAt500SettlesToZero) {
    auto record = makeRecord(500, 6 * 4096, 1, [](std::int64_t i) {
        return 1500.0 + 400.0 * std::sin(2 * M_PI * 10.0 * static_cast<double>(i) / 500.0);
    });
    ReviewFilterChain chain(*record);
    chain.configure(false, false, false);
    const std::int64_t middle = 2 * 4096 + 1500;
    EXPECT_NEAR(amplitudeAt(chain.output(), 0, middle, 1000, 10.0), 400.0, 8.0);
    EXPECT_NEAR(amplitudeAt(chain.output(), 0, middle, 1000, 0.0) / 2, 0.0, 3.0) << "no offset left";
}

// An absent next block reads as zeros: filtering the last block equals
// filtering it with an explicit block of zeros after it.
TEST(ReviewFilterChain, LastBlockIsFilteredAgainstAZeroNextBlock) {
    auto wave = [](std::int64_t i) { return 2000.0 * std::sin(static_cast<double>(i) * 0.05) + 300.0; };
    auto ending = makeRecord(500, 3 * 4096, 1, wave);
    auto padded = makeRecord(500, 4 * 4096, 1, [&](std::int64_t i) { return i < 3 * 4096 ? wave(i) : 0.0; });
    FilteredSignal a(*ending), b(*padded);
    a.setFilter(std::make_unique<BlockIirFilter>(ReviewIir::baseline500(), 3000, true, 1));
    b.setFilter(std::make_unique<BlockIirFilter>(ReviewIir::baseline500(), 3000, true, 1));
    for (std::int64_t i = 2 * 4096; i < 3 * 4096; ++i) ASSERT_EQ(a.readSample(0, i), b.readSample(0, i)) << i;
}

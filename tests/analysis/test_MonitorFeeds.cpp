#include "StreamTestSupport.h"
#include "analysis/FirTables.h"
#include "analysis/MonitorFeeds.h"

#include <gtest/gtest.h>

using namespace streamtest;

// From a raw device buffer, only on ticks: the analysis feed at 250 samples/s
// (truncated means), the display feed at 500 (a copy, or anti-aliased halving
// at 1000) and the live chain over it; rates without a whole factor keep
// their own rate rather than being mislabelled.
TEST(MonitorFeeds, FeedsFromRawRates) {
    struct Case {
        int rawRate, analysisFactor, analysisRate, displayFactor, displayRate;
        std::size_t allOnStages;  // live stages with every switch on
    };
    for (const Case &c : std::vector<Case>{
             {500, 2, 250, 1, 500, 4}, {1000, 4, 250, 2, 500, 4}, {250, 1, 250, 1, 250, 3}, {200, 1, 200, 1, 200, 0}}) {
        SCOPED_TRACE(c.rawRate);
        constexpr int channels = 2, total = 3 * 1024 + 7;
        auto raw = MonitorFeeds::createRawBuffer(channels, c.rawRate);
        raw->setAmplitudeRange(-10, 10);
        raw->setChannelNames({"V1", "V2"});
        MonitorFeeds feeds(*raw);
        SignalBuffer &analysis = feeds.analysisFeed();
        SignalBuffer &display = feeds.displayFeed();
        EXPECT_EQ(std::make_tuple(analysis.samplingRate(), analysis.blockSize(), analysis.capacity()),
                  std::make_tuple(c.analysisRate, 4096, 81920));
        EXPECT_EQ(std::make_tuple(display.samplingRate(), display.blockSize(), display.capacity()),
                  std::make_tuple(c.displayRate, 4096, 20 * 4096));
        EXPECT_EQ(display.channelNames(), raw->channelNames());
        EXPECT_EQ(analysis.amplitudeMin(), -10);

        const Signal x = randomSignal(channels, total, 20000, 29);
        appendRange(*raw, x, 0, 100);
        EXPECT_EQ(analysis.length() + display.length(), 0) << "nothing moves before the tick";
        for (int i = 100; i < total; i += 51) {
            feeds.process();
            appendRange(*raw, x, i, std::min(51, total - i));
        }
        feeds.process();

        const int fa = c.analysisFactor;
        EXPECT_EQ(analysis.length(), (total - 1) / fa);  // m while fa * m < length - fa
        const std::int64_t displayEnd = c.displayFactor == 1 ? total : (total - 15) / 2;  // 2m < length - 16
        EXPECT_EQ(display.length(), displayEnd);
        EXPECT_EQ(feeds.liveOutput().length(), c.displayRate == 500 ? displayEnd - 750 : displayEnd);
        const FirTable aa = FirTables::antiAlias1000();
        const std::vector<double> h(aa.taps, aa.taps + aa.length);
        for (int ch = 0; ch < channels; ++ch) {
            for (std::int64_t m = 0; m < analysis.length(); ++m) {
                long long sum = 0;
                for (int i = 0; i < fa; ++i) sum += static_cast<long long>(x[ch][fa * m + i]);
                ASSERT_EQ(analysis.readSample(ch, m), sum / fa) << m;
            }
            for (std::int64_t m = 0; m < displayEnd; ++m) {
                const double expected = c.displayFactor == 1 ? x[ch][m] : directFir(h, x[ch], 2 * m + 14, 0, total);
                ASSERT_LE(std::abs(display.readSample(ch, m) - SignalSource::toSample16(expected)), 1) << m;
            }
        }

        feeds.configureLiveChain(true, true, true);
        EXPECT_EQ(feeds.liveChain().stages().size(), c.allOnStages);
        EXPECT_EQ(feeds.liveOutput().length(), displayEnd) << "the new chain starts at the display feed's end";
    }
}

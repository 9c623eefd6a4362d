// The live inset's averages read from a running engine: in millivolts at
// the device's scale, the reference only once the first stage has ended,
// and a new revision with every beat.

#include "analysis/ChannelTable.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "ui/EngineAverageBeats.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = 500;
constexpr int kChannels = 12;

// A 0.6 to 1.7 mV bell once a second, taller lead by lead.
double peakMv(int channel) { return 0.6 + 0.1 * channel; }
std::int16_t sampleAt(int channel, std::int64_t i) {
    const double t = static_cast<double>(i) / kRate;
    const double phase = t - std::floor(t) - 0.5;
    const double mv = peakMv(channel) * std::exp(-0.5 * std::pow(phase / 0.012, 2));
    return static_cast<std::int16_t>(std::lround(mv * 65536.0 / 600.0));
}

TEST(EngineAverageBeats, MillivoltsOfTheDeviceAndTheReferenceAfterTheFirstStage) {
    QTemporaryDir dir;
    StudyStore store(dir.path());
    StudyInfo info;
    info.samplingRate = kRate;
    info.channelCount = kChannels;
    info.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask, kChannels).join(',').toUtf8();
    info.resolution = 16;
    info.gainMax = 300.0;
    Study *study = store.createStudy(info);
    Protocol bruce;
    store.protocol(QStringLiteral("Bruce"), bruce);
    MonitorEngine::SignalFormat format;
    format.channelCount = kChannels;
    format.samplingRate = kRate;
    format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask, kChannels);
    MonitorEngine engine(format, true);
    StressRun::Plan plan;
    plan.stages = bruce;
    engine.prepareRun(*study, plan, &store);
    std::int64_t fed = 0;
    auto feed = [&](double seconds) {
        std::vector<std::vector<std::int16_t>> block(kChannels, std::vector<std::int16_t>(kRate / 50));
        std::vector<const std::int16_t *> rows(kChannels);
        for (const std::int64_t end = fed + static_cast<std::int64_t>(seconds * kRate); fed < end; fed += kRate / 50) {
            for (int c = 0; c < kChannels; ++c) {
                for (int j = 0; j < kRate / 50; ++j) block[c][j] = sampleAt(c, fed + j);
                rows[c] = block[c].data();
            }
            engine.raw().append(kRate / 50, rows.data());
            engine.processBlock();
        }
    };

    EngineAverageBeats averages(engine);
    feed(3.0);
    engine.start("20260102030405");
    feed(12.0);
    const long long revision = averages.revision();
    AverageBeatView view;
    double firstRatio = 0.0;
    for (int c : {0, 5, 11}) {
        ASSERT_TRUE(averages.view(c, &view)) << c;
        EXPECT_EQ(view.rate, kRate);
        // Averages are built from the muscle-filtered signal and are
        // mean-free, which takes a few per cent off this narrow bell; the
        // same few per cent in every lead.
        const double ratio = *std::max_element(view.current.begin(), view.current.end()) / peakMv(c);
        EXPECT_NEAR(ratio, 1.0, 0.1) << c;
        if (firstRatio == 0.0) firstRatio = ratio;
        EXPECT_NEAR(ratio, firstRatio, 0.01) << c;
        EXPECT_TRUE(view.reference.empty()) << "no reference during the first stage";
        EXPECT_TRUE(view.stValid) << c;
    }
    EXPECT_FALSE(averages.view(kChannels, &view));
    feed(2.0);
    EXPECT_GE(averages.revision(), revision + 1) << "beats arrived";

    engine.nextStage();
    ASSERT_TRUE(averages.view(5, &view));
    ASSERT_EQ(view.reference.size(), view.current.size());
    EXPECT_NEAR(*std::max_element(view.reference.begin(), view.reference.end()) / peakMv(5), firstRatio, 0.01);
}

}  // namespace

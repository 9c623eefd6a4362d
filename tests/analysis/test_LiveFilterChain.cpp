#include "StreamTestSupport.h"
#include "analysis/FirTables.h"
#include "analysis/LiveFilterChain.h"

#include <gtest/gtest.h>
#include <QStringList>

using namespace streamtest;
using Role = LiveFilterChain::StageRole;

TEST(LiveFilterChain, StagesPerRateOptionsAndSwitches) {
    struct Case {
        int rate;
        QStringList options;  // notch, muscle, baseline
        bool notch, muscle, baseline;
        std::vector<std::tuple<Role, int, int>> stages;  // role, taps, delay
    };
    const QStringList defaults{"50hz", "40hz", "fir"};
    const auto drift = std::make_tuple(Role::DriftHighPass, 1501, 750);
    const std::vector<Case> cases = {
        {500, defaults, false, false, false, {drift}},
        {500,
         defaults,
         true,
         true,
         true,
         {drift, {Role::LineNotch, 195, 97}, {Role::MuscleLowPass, 12, 6}, {Role::BaselineFir, 501, 250}}},
        {250,
         defaults,
         true,
         true,
         true,
         {{Role::LineNotch, 109, 54}, {Role::MuscleLowPass, 62, 31}, {Role::BaselineFir, 382, 191}}},
        {1000,
         defaults,
         true,
         true,
         true,
         {{Role::LineNotch, 391, 195}, {Role::MuscleLowPass, 22, 11}, {Role::BaselineFir, 1355, 677}}},
        {500,
         {"60hz", "25hz", "fft"},
         true,
         true,
         true,
         {drift, {Role::LineNotch, 195, 97}, {Role::MuscleLowPass, 19, 9}, {Role::BaselineFft, 1024, 543}}},
        {1000, {"60hz", "25hz", "fir"}, false, true, false, {{Role::MuscleLowPass, 34, 17}}},
        {250, {"50hz", "25hz", "fir"}, false, true, false, {{Role::MuscleLowPass, 62, 31}}},
        {500, {"55hz", "30hz", "iir"}, true, true, true, {drift}},
        {360, defaults, true, true, true, {}},
        {360, {"50hz", "40hz", "fft"}, false, false, true, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << "/s " << c.options.join(',').toStdString() << " switches "
                                        << c.notch << c.muscle << c.baseline);
        SignalBuffer input(512, 10240, 3, c.rate);
        input.setAmplitudeRange(-5.0, 5.0);
        input.setChannelNames({"I", "II", "III"});
        LiveFilterChain chain(input, c.options[0], c.options[1], c.options[2]);
        chain.configure(c.notch, c.muscle, c.baseline);
        std::vector<std::tuple<Role, int, int>> stages;
        for (const auto &s : chain.stages()) stages.emplace_back(s.role, s.taps, s.delay);
        EXPECT_EQ(stages, c.stages);
        const auto *out = dynamic_cast<const SignalBuffer *>(&chain.output());
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(out == &input, c.stages.empty());
        EXPECT_EQ(std::make_tuple(out->capacity(), out->blockSize(), out->channelCount(), out->samplingRate()),
                  std::make_tuple(10240, 512, 3, c.rate));
        EXPECT_EQ(out->resolutionBits(), 16);
        EXPECT_EQ(out->amplitudeMax(), 5.0);
        EXPECT_EQ(out->channelNames(), input.channelNames());
    }
}

// With every switch off at 500 samples/s the drift high-pass still runs: a
// constant input decays to 0 and the output lags the input by 750 samples.
TEST(LiveFilterChain, AllOffStillRemovesDriftWithA750SampleLag) {
    SignalBuffer input(512, 10240, 1, 500);
    LiveFilterChain chain(input);
    const Signal x(1, std::vector<double>(4000, 1000.0));
    for (int i = 0; i < 4000; i += 50) {
        appendRange(input, x, i, 50);
        EXPECT_EQ(chain.output().length(), std::max(0, i + 50 - 750));
    }
    EXPECT_NE(chain.output().readSample(0, 0), 0) << "the start is a step from the zeros before it";
    for (std::int64_t m = 750; m < chain.output().length(); ++m) ASSERT_EQ(chain.output().readSample(0, m), 0) << m;
}

// Reconfiguring mid-stream rebuilds every stage from the input's current end:
// the new output holds nothing from before and equals the cascade of the
// plain filters over the newer samples only, each narrowed to 16 bits.
TEST(LiveFilterChain, ReconfigureRebuildsFromTheInputEnd) {
    constexpr int before = 1300, total = before + 2600;
    const Signal x = randomSignal(2, total, 3000, 17);
    SignalBuffer input(512, 10240, 2, 500);
    LiveFilterChain chain(input);
    chain.configure(true, true, true);
    appendRange(input, x, 0, before);
    chain.configure(true, true, false);
    SignalSource &out = chain.output();
    EXPECT_EQ(out.length(), before) << "output index equals input index";
    for (int i = before; i < total; i += 51) appendRange(input, x, i, std::min(51, total - i));
    ASSERT_EQ(out.length(), total - 750 - 97 - 6);

    for (int ch = 0; ch < 2; ++ch) {
        std::vector<double> current = x[ch];
        std::int64_t end = total;
        for (const FirTable &t :
             {FirTables::driftHighPass500(), *FirTables::notch("50hz", 500), *FirTables::muscle("40hz", 500)}) {
            const std::vector<double> h(t.taps, t.taps + t.length);
            std::vector<double> next(total, 0.0);
            for (std::int64_t m = before; m + t.delay < end; ++m)
                next[m] = SignalSource::toSample16(directFir(h, current, m + t.delay, before, end));
            end -= t.delay;
            current.swap(next);
        }
        for (std::int64_t m = 0; m < end; ++m)
            ASSERT_LE(std::abs(out.readSample(ch, m) - current[m]), 1) << "channel " << ch << " index " << m;
    }
}

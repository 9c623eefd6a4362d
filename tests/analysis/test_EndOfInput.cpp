// The beats still held when the input ends: a recording cut shortly after a
// beat, fed as the engine feeds it, must report that beat once finish() is
// called, with the beats before it unchanged, and keep an incomplete last
// beat out of the averages.

#include "SimulatedBeatPath.h"
#include "analysis/BeatListener.h"
#include "tools/sim/model/EcgSynthesizer.h"

#include <QBuffer>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

struct Collect : BeatListener {
    std::vector<BeatRecord> beats;
    void beatEmitted(const BeatRecord &beat) override { beats.push_back(beat); }
};

QByteArray synthesize(const EcgSynthesizer &model) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(model.writeRecording(device, nullptr));
    return bytes;
}

struct Cut {
    double afterLastBeat;  // seconds of signal kept after the chosen beat's R
    bool premature;        // the simulated rhythm holds premature beats
};
void PrintTo(const Cut &c, std::ostream *os) {
    *os << c.afterLastBeat << " s after a beat" << (c.premature ? ", PVCs" : "");
}

class EndOfInput : public ::testing::TestWithParam<Cut> {};

TEST_P(EndOfInput, TheBeatsBeforeTheEndAreAllReported) {
    SimulationConfig config;
    config.profile = RateProfileKind::Constant;
    config.seconds = 12.0;
    config.noise = NoiseLevel::Low;
    config.pvcPerMinute = GetParam().premature ? 20.0 : 0.0;
    config.seed = 17;
    const EcgSynthesizer model(config);
    const std::vector<TruthRow> truth = model.truth();
    ASSERT_GE(truth.size(), 8u);

    // Cut after the beat whose R lies 9 to 10.5 s in, so the rest of the
    // recording is the only look-ahead the detector gets.
    std::size_t last = 0;
    while (last + 1 < truth.size() && truth[last + 1].sample < 10.5 * SimulatedBeatPath::kRate) ++last;
    ASSERT_GT(truth[last].sample, 9 * SimulatedBeatPath::kRate);
    const std::int64_t frames = truth[last].sample + std::llround(GetParam().afterLastBeat * SimulatedBeatPath::kRate);
    const QByteArray all = synthesize(model);
    const QByteArray recording = all.left(static_cast<int>(frames) * 2 * SimulatedBeatPath::kChannels);

    SimulatedBeatPath rig;
    Collect collect;
    rig.path->addBeatListener(&collect);
    rig.path->start();
    rig.feed(recording);
    // The last part block, as a file's end delivers it.
    const int fed = static_cast<int>(frames / (SimulatedBeatPath::kRate / 10) * (SimulatedBeatPath::kRate / 10));
    rig.raw->appendInterleaved16(recording.constData() + fed * 2 * SimulatedBeatPath::kChannels,
                                 recording.size() - fed * 2 * SimulatedBeatPath::kChannels);
    rig.feeds->process();
    rig.path->process();
    const std::size_t beforeFinish = collect.beats.size();
    rig.path->finish();

    // One reported beat per true beat up to the cut, within 50 ms, numbered
    // on; a QRS cut by the end itself may or may not count.
    std::size_t whole = 0, started = 0;
    for (const TruthRow &row : truth) {
        if (row.sample + 0.15 * SimulatedBeatPath::kRate <= frames) ++whole;
        if (row.sample < frames) ++started;
    }
    ASSERT_GE(whole, last + 1);
    EXPECT_LT(beforeFinish, whole) << "the last beat waits for look-ahead until finish()";
    ASSERT_GE(collect.beats.size(), whole);
    ASSERT_LE(collect.beats.size(), started);
    for (std::size_t i = 0; i < whole; ++i) {
        const double truthTime = static_cast<double>(truth[i].sample) / SimulatedBeatPath::kRate;
        EXPECT_NEAR(collect.beats[i].fiducialTime(), truthTime, 0.05) << "beat " << i;
        EXPECT_EQ(collect.beats[i].index, static_cast<int>(i));
    }
    EXPECT_EQ(rig.path->beats().count(), static_cast<int>(collect.beats.size()));
    // A beat without its whole 0.5 s after R stays out of the averages: they
    // equal those built from the beats before it alone.
    AverageBeatBuilder &averages = rig.path->averages();
    const double lastR = collect.beats.back().leads[averages.alignmentLead()].get(BeatRecord::RPeakTime);
    const bool lastFits = lastR + 0.5 <= static_cast<double>(frames) / SimulatedBeatPath::kRate;
    AverageBeatBuilder reference(&rig.path->averagingFeed());
    for (std::size_t i = 0; i + (lastFits ? 0 : 1) < collect.beats.size(); ++i) reference.addBeat(collect.beats[i]);
    EXPECT_GE(averages.beatCount(), GetParam().premature ? 2 : 5);
    EXPECT_EQ(averages.beatCount(), reference.beatCount());
    EXPECT_EQ(averages.average(1), reference.average(1));

    // Detection resumes on new signal after finish().
    rig.path->start();
    EXPECT_TRUE(rig.path->analyzer().running());
    rig.path->removeBeatListener(&collect);
}

INSTANTIATE_TEST_SUITE_P(Cuts, EndOfInput,
                         ::testing::Values(Cut{0.3, false}, Cut{0.5, false}, Cut{0.7, false}, Cut{1.1, false},
                                           Cut{0.3, true}),
                         [](const ::testing::TestParamInfo<Cut> &info) { return "Cut" + std::to_string(info.index); });

}  // namespace

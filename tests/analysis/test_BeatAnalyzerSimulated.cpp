// The simulator's 14-lead recordings fed as the monitoring engine does: 500
// samples/s in ticks of 0.1 s, averaged 2:1 into the analysis feed, a run
// after each tick. Fused beats must match the true R peaks one to one within
// 150 ms with nearly every lead taking part; P and T follow the beat model.

#include "QrsTestSupport.h"
#include "analysis/AveragingDecimator.h"
#include "tools/sim/model/EcgSynthesizer.h"

#include <QBuffer>
#include <cstdio>
#include <gtest/gtest.h>
#include <ostream>

using namespace qrstest;

namespace {

constexpr int kChannels = 14;

RecordingSink analyse(const EcgSynthesizer &model) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    EXPECT_TRUE(model.writeRecording(device, nullptr));
    RecordingSink sink;
    SignalBuffer raw(4096, 81920, kChannels, 500);
    SignalBuffer feed(4096, 81920, kChannels, kRate);
    AveragingDecimator decimator(raw, feed, 2);
    BeatAnalyzer analyzer(sink);
    analyzer.start(feed);
    const int tick = 50 * kChannels * 2;
    for (int at = 0; at < bytes.size(); at += tick) {
        raw.appendInterleaved16(bytes.constData() + at, std::min(tick, static_cast<int>(bytes.size()) - at));
        decimator.process();
        analyzer.run();
    }
    return sink;
}

SimulationConfig recording(RateProfileKind profile, double seconds, NoiseLevel noise, double pvcs, unsigned seed) {
    SimulationConfig c;
    c.profile = profile;
    c.seconds = seconds;
    c.noise = noise;
    c.pvcPerMinute = pvcs;
    c.peakRate = 160.0;
    c.seed = seed;
    return c;
}

struct Scenario {
    const char *name;
    SimulationConfig config;
    double minimumSensitivity, minimumPredictivity, minimumLeadPresence;
};

void PrintTo(const Scenario &s, std::ostream *os) { *os << s.name; }

class BeatAnalyzerSimulated : public ::testing::TestWithParam<Scenario> {};

TEST_P(BeatAnalyzerSimulated, FusedBeatsMatchTheTruthOneToOne) {
    const Scenario &s = GetParam();
    const EcgSynthesizer model(s.config);
    const RecordingSink sink = analyse(model);
    std::vector<std::int64_t> truth;
    for (const TruthRow &row : model.truth()) truth.push_back(row.sample / 2);
    // The beats of the last three seconds may still wait for their successors.
    const Agreement a = compareBeats(truth, sink.fiducials(), 37, 0, s.config.frameCount() / 2 - 3 * kRate);
    int present = 0;
    for (const FusedBeat &beat : sink.beats) present += beat.presentCount();
    const double presence = double(present) / (kChannels * std::max<std::size_t>(1, sink.beats.size()));
    std::printf("[ %s ] %d beats, %d missed, %d extra: Se %.2f %%, +P %.2f %%, leads present %.2f %%\n", s.name,
                a.matched + a.missed, a.missed, a.extra, 100 * a.sensitivity(), 100 * a.predictivity(), 100 * presence);
    EXPECT_GT(a.matched, 100);
    EXPECT_GE(a.sensitivity(), s.minimumSensitivity);
    EXPECT_GE(a.predictivity(), s.minimumPredictivity);
    EXPECT_GE(presence, s.minimumLeadPresence);
}

using R = RateProfileKind;
using N = NoiseLevel;
INSTANTIATE_TEST_SUITE_P(
    BeatAnalyzer, BeatAnalyzerSimulated,
    ::testing::Values(Scenario{"75 bpm, clean", recording(R::Constant, 120, N::None, 0, 3), 1, 1, 0.999},
                      Scenario{"75 bpm, low noise", recording(R::Constant, 120, N::Low, 0, 11), 1, 1, 0.999},
                      Scenario{"stress to 160 bpm, clean", recording(R::Stress, 300, N::None, 0, 3), 1, 1, 0.999},
                      Scenario{"stress to 160 bpm, low noise", recording(R::Stress, 300, N::Low, 0, 11), 1, 1, 0.999},
                      Scenario{"stress, medium noise", recording(R::Stress, 300, N::Medium, 0, 5), 1, 1, 0.99},
                      Scenario{"75 bpm, low noise, PVCs", recording(R::Constant, 180, N::Low, 6, 7), 1, 1, 0.99},
                      Scenario{"stress, high noise, PVCs", recording(R::Stress, 300, N::High, 6, 3), 0.99, 0.98, 0.9}),
    [](const ::testing::TestParamInfo<Scenario> &info) { return "Recording" + std::to_string(info.index); });

// The largest deflection of a noise-free model lead over [from, to] s from QRS onset.
std::pair<double, int> modelPeak(const EcgSynthesizer &model, std::size_t beat, int lead, double from, double to) {
    std::pair<double, int> best{from, 0};
    double size = -1.0;
    for (double t = from; t <= to; t += 0.0005) {
        const double v = model.beatLeadsAt(beat, t)[static_cast<std::size_t>(lead)];
        if (std::abs(v) > size) size = std::abs(v), best = {t, v > 0 ? 1 : -1};
    }
    return best;
}

TEST(BeatAnalyzerSimulatedWaves, PAndTPeaksFollowTheBeatModel) {
    const EcgSynthesizer model(recording(R::Constant, 60, N::None, 0, 3));
    const RecordingSink sink = analyse(model);
    ASSERT_GT(sink.beats.size(), 60u);
    for (int lead : {0, 1, 3, 7, 10, 11}) {  // leads whose P and T stand clear of the baseline
        double pError = 0.0, tError = 0.0;
        for (const FusedBeat &beat : sink.beats) {
            std::size_t i = 0;
            while (i + 1 < model.beats().size() && model.beats()[i + 1].rTime * kRate < beat.fiducial + 50) ++i;
            const double onset = model.beats()[i].rTime - BeatMorphology::sinus(model.beats()[i].heartRate).rPeak;
            const auto p = modelPeak(model, i, lead, -0.25, -0.02), t = modelPeak(model, i, lead, 0.15, 0.6);
            const LeadDetection &d = beat.leads[static_cast<std::size_t>(lead)];
            ASSERT_TRUE(LeadDetection::isSet(d.pPeak) && LeadDetection::isSet(d.tPeak)) << "lead " << lead;
            EXPECT_EQ(d.pPolarity, p.second) << "lead " << lead;
            EXPECT_EQ(d.tPolarity, t.second) << "lead " << lead;
            pError += std::abs(d.pPeak - (onset + p.first) * kRate);
            tError += std::abs(d.tPeak - (onset + t.first) * kRate);
        }
        EXPECT_LT(pError / sink.beats.size(), 2.0) << "lead " << lead;  // samples: 8 ms
        EXPECT_LT(tError / sink.beats.size(), 2.0) << "lead " << lead;
    }
}

}  // namespace

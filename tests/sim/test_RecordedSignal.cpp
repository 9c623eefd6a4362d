// What the recording itself holds: limb-lead identities, realistic R waves,
// a clean signal without noise, and reproducibility from the seed.

#include "SimTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

using namespace SimTest;

namespace {

QByteArray fileBytes(const QString &path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

class LimbLeadIdentities : public ::testing::TestWithParam<const char *> {};

// The identities follow from the electrodes, so they must survive noise,
// electrode pops, PVCs and ST changes alike; each lead is rounded on its own,
// hence the one-unit allowance.
TEST_P(LimbLeadIdentities, HoldInEveryFrameWithinRounding) {
    QTemporaryDir dir;
    const Recording r = readRecording(record(dir.path(), {"--noise", GetParam(), "--seconds", "40", "--pvc-per-min",
                                                          "10", "--st", "II=-0.2", "--st", "aVL=0.1", "--hr", "95"}));
    ASSERT_EQ(r.frames(), 40 * 500);
    double worst = 0.0;
    for (std::int64_t f = 0; f < r.frames(); ++f) {
        const double i = r.raw(f, I), ii = r.raw(f, II);
        worst = std::max({worst, std::abs(r.raw(f, III) - (ii - i)), std::abs(r.raw(f, aVR) + (i + ii) / 2),
                          std::abs(r.raw(f, aVL) - (i - ii / 2)), std::abs(r.raw(f, aVF) - (ii - i / 2))});
    }
    EXPECT_LE(worst, 1.0);
}

INSTANTIATE_TEST_SUITE_P(NoiseLevels, LimbLeadIdentities, ::testing::Values("none", "low", "medium", "high"));

struct RateAndSampling {
    double bpm;
    int samplingRate;
};

void PrintTo(const RateAndSampling &c, std::ostream *os) { *os << c.bpm << " bpm at " << c.samplingRate << "/s"; }

class RWaveAmplitude : public ::testing::TestWithParam<RateAndSampling> {};

TEST_P(RWaveAmplitude, IsBetweenOneAndOneAndAHalfMillivoltsInIIAndV5) {
    QTemporaryDir dir;
    const Recording r =
        readRecording(record(dir.path(), {"--noise", "none", "--seconds", "20", "--hr", QString::number(GetParam().bpm),
                                          "--rate", QString::number(GetParam().samplingRate)}),
                      GetParam().samplingRate);
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(dir.filePath("r.dat")));
    ASSERT_GT(beats.size(), 5u);
    for (const TruthBeat &beat : beats) {
        if (beat.sample < r.rate / 10 || beat.sample + r.rate / 10 >= r.frames()) continue;
        for (int lead : {II, V5}) {
            const double amplitude = rAmplitude(r, beat.sample, lead);
            EXPECT_GE(amplitude, 1.0) << "lead " << lead << " at " << beat.sample;
            EXPECT_LE(amplitude, 1.5) << "lead " << lead << " at " << beat.sample;
        }
        // The truth's R sample is the peak of the QRS, not merely inside it.
        EXPECT_GT(r.mv(beat.sample, II), 0.8 * rAmplitude(r, beat.sample, II));
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, RWaveAmplitude,
                         ::testing::Values(RateAndSampling{60, 500}, RateAndSampling{75, 1000},
                                           RateAndSampling{150, 500}));

TEST(RecordedSignal, WithoutNoiseTheBaselineIsExactlyZero) {
    QTemporaryDir dir;
    const Recording r = readRecording(record(dir.path(), {"--noise", "none", "--seconds", "20", "--hr", "50"}));
    const std::vector<TruthBeat> beats = readTruth(truthPathOf(dir.filePath("r.dat")));
    // At 50/min diastole is long: 120 ms before each P wave must be flat zero.
    for (std::size_t k = 1; k < beats.size(); ++k) {
        const std::int64_t pOnset = beats[k].sample - 500 * 25 / 100;  // R - 250 ms is before any P
        for (std::int64_t f = pOnset - 60; f < pOnset; ++f)
            for (int lead = 0; lead < kChannels; ++lead)
                ASSERT_EQ(r.raw(f, lead), 0) << "frame " << f << " lead " << lead;
    }
}

TEST(RecordedSignal, SameSeedSameBytesOtherSeedOtherNoise) {
    QTemporaryDir dir;
    const QStringList options = {"--noise", "high", "--seconds", "30", "--pvc-per-min", "4", "--hrv", "0"};
    const QByteArray first = fileBytes(record(dir.path(), options + QStringList{"--seed", "42"}, "a"));
    const QByteArray again = fileBytes(record(dir.path(), options + QStringList{"--seed", "42"}, "b"));
    const QByteArray other = fileBytes(record(dir.path(), options + QStringList{"--seed", "43"}, "c"));
    ASSERT_EQ(first.size(), 30 * 500 * 28);
    EXPECT_TRUE(first == again);
    EXPECT_EQ(fileBytes(dir.filePath("a.truth.csv")), fileBytes(dir.filePath("b.truth.csv")));
    ASSERT_EQ(other.size(), first.size());
    // Nearly every sample differs once the noise differs.
    int differing = 0;
    for (int i = 0; i < first.size(); i += 2) differing += first.mid(i, 2) != other.mid(i, 2);
    EXPECT_GT(differing, first.size() / 2 * 8 / 10);
}

TEST(RecordedSignal, NoiseLevelsDoNotMoveTheBeats) {
    QTemporaryDir dir;
    const QStringList options = {"--seconds", "30", "--pvc-per-min", "6", "--seed", "5"};
    record(dir.path(), options + QStringList{"--noise", "none"}, "quiet");
    record(dir.path(), options + QStringList{"--noise", "high"}, "noisy");
    const std::vector<TruthBeat> quiet = readTruth(dir.filePath("quiet.truth.csv"));
    const std::vector<TruthBeat> noisy = readTruth(dir.filePath("noisy.truth.csv"));
    ASSERT_EQ(quiet.size(), noisy.size());
    for (std::size_t i = 0; i < quiet.size(); ++i) {
        EXPECT_EQ(quiet[i].sample, noisy[i].sample);
        EXPECT_EQ(quiet[i].type, noisy[i].type);
    }
}

}  // namespace

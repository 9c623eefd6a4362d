// The whole beat analysis path over a simulated stress test (75 -> 150 -> 75
// bpm with premature ventricular beats and low noise), fed as the engine
// feeds it, against the simulator's truth.

#include "BeatMatching.h"
#include "SimulatedBeatPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = SimulatedBeatPath::kRate;

struct TruthBeat {
    std::int64_t sample;
    bool ventricular;
    double rr;
};

struct CollectingListener : BeatListener {
    std::vector<BeatRecord> beats;
    void beatEmitted(const BeatRecord &beat) override { beats.push_back(beat); }
};

std::vector<TruthBeat> readTruth(const QString &path) {
    std::vector<TruthBeat> truth;
    QFile csv(path);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text)) return truth;
    QTextStream lines(&csv);
    lines.readLine();
    while (!lines.atEnd()) {
        const QStringList f = lines.readLine().split(',');
        if (f.size() > 2) truth.push_back({f[0].toLongLong(), f[1] == "V", f[2].toDouble()});
    }
    return truth;
}

// Largest distance of 60 / avgRR from the rate of the truth's last eight
// normal RR intervals, over the beats after `from` seconds once the averager
// has settled; `compared` counts those beats.
double worstRateError(const std::vector<BeatRecord> &beats, const std::vector<TruthBeat> &truth, double from,
                      int *compared) {
    *compared = 0;
    double worst = 0.0;
    for (const BeatRecord &b : beats) {
        if (b.fiducialTime() < from || b.meanRr() <= 0.0) continue;
        const std::int64_t sample = std::llround(b.fiducialTime() * kRate);
        std::deque<double> recent;
        for (std::size_t k = 1; k < truth.size() && truth[k].sample <= sample + 75; ++k) {
            if (truth[k].ventricular || truth[k - 1].ventricular) continue;
            recent.push_back(truth[k].rr);
            if (recent.size() > 8) recent.pop_front();
        }
        if (recent.size() < 8) continue;
        double mean = 0.0;
        for (double rr : recent) mean += rr;
        mean /= static_cast<double>(recent.size());
        worst = std::max(worst, std::abs(60.0 / b.meanRr() - 60.0 / mean));
        ++*compared;
    }
    return worst;
}

}  // namespace

TEST(BeatAnalysisAccuracy, SimulatedStressTestAgainstItsTruth) {
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath("stress.dat");
    const QString truthPath = QDir(dir.path()).filePath("stress.truth.csv");
    QString error;
    const QByteArray recording =
        SimulatedBeatPath::simulate({"--truth", truthPath, "--profile", "stress", "--seconds", "360", "--hr", "75",
                                     "--peak-hr", "150", "--pvc-per-min", "2", "--noise", "low", "--seed", "21"},
                                    out, &error);
    ASSERT_FALSE(recording.isEmpty()) << error.toStdString();

    const std::vector<TruthBeat> truth = readTruth(truthPath);
    ASSERT_FALSE(truth.empty());
    SimulatedBeatPath rig;
    BeatAnalysisPath &path = *rig.path;
    CollectingListener listener;
    path.addBeatListener(&listener);
    path.start();
    const int frames = rig.feed(recording);

    // Detections against the normal beats, then what is left against the
    // premature ventricular ones.
    std::vector<std::int64_t> normalTruth, ventricularTruth, detected;
    for (const TruthBeat &t : truth) (t.ventricular ? ventricularTruth : normalTruth).push_back(t.sample);
    for (const BeatRecord &b : listener.beats) detected.push_back(std::llround(b.fiducialTime() * kRate));
    // The last beat of the recording is confirmed only by a following one.
    while (!normalTruth.empty() && normalTruth.back() > frames - 2 * kRate) normalTruth.pop_back();
    const BeatMatch normal = matchBeats(normalTruth, detected, 75);
    const BeatMatch ventricular = matchBeats(ventricularTruth, normal.extra, 75);
    int heldEmitted = 0;
    for (int d : ventricular.referenceMatchedBy) {
        if (d < 0) continue;
        const std::int64_t sample = normal.extra[static_cast<std::size_t>(d)];
        for (const BeatRecord &b : listener.beats)
            if (std::llround(b.fiducialTime() * kRate) == sample && !b.normal) ++heldEmitted;
    }
    const int falsePositives = ventricular.falsePositives;
    const double positivePredictivity =
        static_cast<double>(normal.truePositives) / (normal.truePositives + falsePositives);
    std::printf("stress: %zu N beats, Se %.2f %%, +P %.2f %% (%d false); %zu V beats: %d emitted (%d as premature "
                "after being held), %d rejected\n",
                normalTruth.size(), 100 * normal.sensitivity(), 100 * positivePredictivity, falsePositives,
                ventricularTruth.size(), ventricular.truePositives, heldEmitted, ventricular.falseNegatives);
    EXPECT_GE(normal.sensitivity(), 0.998);
    EXPECT_GE(positivePredictivity, 0.998);

    // Heart rate once the averager has settled: 60 / avgRR against the mean
    // of the truth's last eight normal RR intervals at that beat.
    int compared = 0;
    const double worst = worstRateError(listener.beats, truth, 30.0, &compared);
    std::printf("stress: heart rate within %.2f bpm of the truth over %d beats\n", worst, compared);
    EXPECT_GT(compared, 300);
    EXPECT_LE(worst, 2.0);

    // The average beat has its R peak at 0.3 s of the template in lead II.
    AverageBeatBuilder &averages = path.averages();
    ASSERT_GT(averages.beatCount(), 5);
    const std::vector<double> &lead2 = averages.average(1);
    const auto peak = std::max_element(lead2.begin(), lead2.end()) - lead2.begin();
    EXPECT_NEAR(static_cast<double>(peak), 0.3 * kRate, 2.0);
    EXPECT_EQ(averages.rPosition(), static_cast<int>(0.3 * kRate));
}

TEST(BeatAnalysisAccuracy, PrematureBeatsAreReportedOnceAndTheirTWavesNever) {
    // Four premature ventricular beats a minute, each with the large T wave
    // of its own that follows it: every one a beat, none of the T waves.
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath("pvcs.dat");
    const QString truthPath = QDir(dir.path()).filePath("pvcs.truth.csv");
    QString error;
    const QByteArray recording =
        SimulatedBeatPath::simulate({"--truth", truthPath, "--profile", "stress", "--seconds", "300", "--hr", "75",
                                     "--peak-hr", "150", "--pvc-per-min", "4", "--noise", "low", "--seed", "5"},
                                    out, &error);
    ASSERT_FALSE(recording.isEmpty()) << error.toStdString();
    const std::vector<TruthBeat> truth = readTruth(truthPath);
    ASSERT_FALSE(truth.empty());

    SimulatedBeatPath rig;
    CollectingListener listener;
    rig.path->addBeatListener(&listener);
    rig.path->start();
    const int frames = rig.feed(recording);

    // The beats of the last two seconds wait for a successor.
    std::vector<std::int64_t> reference, detected;
    for (const TruthBeat &t : truth)
        if (t.sample < frames - 2 * kRate) reference.push_back(t.sample);
    for (const BeatRecord &b : listener.beats) detected.push_back(std::llround(b.fiducialTime() * kRate));
    const BeatMatch m = matchBeats(reference, detected, 75);

    int ventricular = 0, ventricularFound = 0;
    for (std::size_t r = 0; r < reference.size(); ++r) {
        if (!truth[r].ventricular) continue;
        ++ventricular;
        ventricularFound += m.referenceMatchedBy[r] >= 0;
    }
    // A beat on a T wave lies 0.15 to 0.5 s after a true beat and matches none.
    int onTWaves = 0;
    for (std::int64_t extra : m.extra)
        for (std::int64_t r : reference) onTWaves += extra - r > 0.15 * kRate && extra - r < 0.5 * kRate;
    int compared = 0;
    const double worst = worstRateError(listener.beats, truth, 30.0, &compared);
    std::printf("pvcs: %zu beats, %d premature ventricular, %d of them found; %d false beats (%d on T waves), %d "
                "missed; heart rate within %.2f bpm over %d beats\n",
                reference.size(), ventricular, ventricularFound, m.falsePositives, onTWaves, m.falseNegatives, worst,
                compared);
    EXPECT_GE(ventricular, 15);
    EXPECT_EQ(ventricularFound, ventricular);
    EXPECT_EQ(onTWaves, 0);
    EXPECT_EQ(m.falsePositives, 0);
    EXPECT_EQ(m.falseNegatives, 0);
    EXPECT_GT(compared, 250);
    EXPECT_LE(worst, 1.0);
}

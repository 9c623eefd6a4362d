// ST level and slope measured through the whole live beat path over simulated
// recordings with a constant ST deviation, against the simulator's truth.

#include "analysis/AverageBeatBuilder.h"
#include "SimulatedBeatPath.h"
#include "analysis/StageResults.h"
#include "analysis/StudyResults.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

constexpr int kRate = SimulatedBeatPath::kRate;
constexpr int kLeadII = 1;
constexpr int kLeadV5 = 10;
constexpr double kSettleSeconds = 20.0;
constexpr double kLevelToleranceMv = 0.02;
constexpr double kSlopeToleranceMvPerS = 0.1;

struct Recording {
    int bpm;
    double v5Mv;
    double iiMv;
};

// Two deviations per recording, one in each lead, so twelve cases take six.
const Recording kRecordings[] = {
    {60, -0.3, 0.1}, {60, -0.1, 0.0}, {100, -0.3, 0.1}, {100, -0.1, 0.0}, {150, -0.3, 0.1}, {150, -0.1, 0.0},
};

struct Forward : BeatListener {
    StageResults *results = nullptr;
    void beatEmitted(const BeatRecord &beat) override {
        if (beat.valid) results->onBeat(beat);
    }
};

// The mean of a truth column (the deviation is constant, the mean guards
// against a stray row).
double truthMean(const QString &path, const QString &column) {
    QFile csv(path);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text)) return NAN;
    QTextStream lines(&csv);
    const int at = lines.readLine().split(',').indexOf(column);
    double sum = 0.0;
    int n = 0;
    while (!lines.atEnd()) {
        const QStringList f = lines.readLine().split(',');
        if (at >= 0 && at < f.size()) {
            sum += f[at].toDouble();
            ++n;
        }
    }
    return n > 0 ? sum / n : NAN;
}

struct LeadError {
    double truth = 0.0;
    double worstLevel = 0.0;
    double worstSlope = 0.0;
    int points = 0;
};

LeadError compare(const StudyResults &results, int lead, double truth) {
    LeadError e;
    e.truth = truth;
    const std::vector<double> &times = results.times(StudyResults::stLevelTrend(lead));
    const std::vector<double> &levels = results.values(StudyResults::stLevelTrend(lead));
    const std::vector<double> &slopes = results.values(StudyResults::stSlopeTrend(lead));
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (times[i] < kSettleSeconds) continue;
        e.worstLevel = std::max(e.worstLevel, std::abs(levels[i] - truth));
        e.worstSlope = std::max(e.worstSlope, std::abs(slopes[i]));
        ++e.points;
    }
    return e;
}

}  // namespace

TEST(StAccuracy, ConstantDeviationThroughTheBeatPath) {
    QTemporaryDir dir;
    std::printf("  rate  lead  truth mV  worst level error mV  worst |slope| mV/s  points\n");
    int made = 0;
    for (const Recording &r : kRecordings) {
        ++made;
        SCOPED_TRACE(testing::Message() << r.bpm << " bpm, V5 " << r.v5Mv << ", II " << r.iiMv);
        const QString out = QDir(dir.path()).filePath(QStringLiteral("st%1.dat").arg(made));
        const QString truthPath = QDir(dir.path()).filePath(QStringLiteral("st%1.csv").arg(made));
        QString error;
        const QByteArray recording = SimulatedBeatPath::simulate(
            {"--truth", truthPath, "--hr", QString::number(r.bpm), "--st", QStringLiteral("V5=%1").arg(r.v5Mv), "--st",
             QStringLiteral("II=%1").arg(r.iiMv), "--st-mode", "constant", "--noise", "low", "--seconds", "40",
             "--seed", "7"},
            out, &error);
        ASSERT_FALSE(recording.isEmpty()) << error.toStdString();

        SimulatedBeatPath rig;
        BeatAnalysisPath &path = *rig.path;
        StudyResults results;
        StageResults::Settings settings;
        settings.sampleUnitMv = 600.0 / 65536.0;
        settings.deviceRate = kRate;
        StageResults stages(results, &path.averages(), settings, {});
        stages.start(0, 0.0);
        Forward forward;
        forward.results = &stages;
        path.addBeatListener(&forward);
        path.start();
        // A second stage from the settling time on, so that its means hold
        // only settled beats.
        bool settled = false;
        const int frames = rig.feed(recording, [&](int fed) {
            if (!settled && fed - kRate / 10 >= kSettleSeconds * kRate) {
                stages.takeStReference();  // as the run control does on leaving the first stage
                stages.closeStage(1, kSettleSeconds);
                settled = true;
            }
        });
        stages.finish(static_cast<double>(frames) / kRate);
        EXPECT_TRUE(path.averages().referenceTaken());
        const StageResults::Markers &m = stages.markers(kLeadV5);
        EXPECT_LT(m.isoelectric, path.averages().rPosition());
        EXPECT_GT(m.j, path.averages().rPosition());
        EXPECT_EQ(m.st - m.j, 36);  // J + 10 ms to J + 80 ms at 500/s, from 250/s points

        const struct {
            int lead;
            const char *name;
        } leads[] = {{kLeadV5, "V5"}, {kLeadII, "II"}};
        for (const auto &l : leads) {
            const LeadError e = compare(results, l.lead, truthMean(truthPath, QStringLiteral("st_") + l.name));
            std::printf("  %4d  %4s  %8.3f  %20.4f  %18.4f  %6d\n", r.bpm, l.name, e.truth, e.worstLevel, e.worstSlope,
                        e.points);
            EXPECT_GT(e.points, 10) << l.name;
            EXPECT_LE(e.worstLevel, kLevelToleranceMv) << l.name;
            EXPECT_LE(e.worstSlope, kSlopeToleranceMvPerS) << l.name;
            EXPECT_NEAR(results.perStage(StudyResults::stLevelPerStage(l.lead), 1), e.truth, kLevelToleranceMv)
                << l.name;
            EXPECT_NEAR(results.perStage(StudyResults::stSlopePerStage(l.lead), 1), 0.0, kSlopeToleranceMvPerS)
                << l.name;
        }
    }
}

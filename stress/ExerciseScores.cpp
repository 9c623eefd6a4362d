#include "stress/ExerciseScores.h"

#include "analysis/ChannelTable.h"
#include "analysis/ResultNames.h"
#include "store/ExerciseFindings.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <QCoreApplication>
#include <cmath>

namespace {

constexpr int kStandardLeads = 12;
constexpr double kMmPerMv = 10.0;

std::optional<double> patientNumber(const Study &study, const char *key) {
    bool ok = false;
    const double value = QString::fromUtf8(study.property(key)).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) return std::nullopt;
    return value;
}

// Mean of the trend's values in (t − window, t]; absent when no beat lies there.
std::optional<double> rateAt(const StudyResults &results, double t) {
    const std::vector<double> &times = results.times(Result::BpmTrend);
    const std::vector<double> &values = results.values(Result::BpmTrend);
    double sum = 0.0;
    int n = 0;
    for (std::size_t i = 0; i < times.size() && i < values.size(); ++i) {
        if (times[i] > t - ExerciseScores::kRateWindowSeconds && times[i] <= t && values[i] > 0.0) {
            sum += values[i];
            ++n;
        }
    }
    if (n == 0) return std::nullopt;
    return sum / n;
}

// Stage indices of the recorded protocol, by phase; -1 when none.
int firstStage(const Protocol &p, StagePhase phase) {
    for (int i = 0; i < p.stageCount(); ++i)
        if (p.stage(i).phase == phase) return i;
    return -1;
}

int lastStage(const Protocol &p, StagePhase phase) {
    for (int i = p.stageCount() - 1; i >= 0; --i)
        if (p.stage(i).phase == phase) return i;
    return -1;
}

void computeDuke(const Study &study, const Protocol &recorded, ExerciseScores &s) {
    double minutes = 0.0;
    bool exercised = false;
    double deviation = 0.0;
    bool measured = false;
    const int aVR = ChannelTable::indexOf(QStringLiteral("aVR"));
    const StudyResults &r = study.results();
    for (int i = 0; i < recorded.stageCount(); ++i) {
        const StagePhase phase = recorded.stage(i).phase;
        if (phase == StagePhase::Exercise) {
            minutes += recorded.stage(i).duration / 60.0;
            exercised = true;
        }
        if (phase == StagePhase::Rest) continue;
        for (int lead = 0; lead < kStandardLeads; ++lead) {
            if (lead == aVR) continue;
            const std::vector<double> &levels = r.values(StudyResults::stLevelPerStage(lead));
            if (static_cast<std::size_t>(i) >= levels.size()) continue;
            deviation = std::max(deviation, std::fabs(levels[static_cast<std::size_t>(i)]) * kMmPerMv);
            measured = true;
        }
    }
    if (exercised) s.exerciseMinutes = minutes;
    if (measured) s.maxStDeviationMm = deviation;
    const auto angina = ExerciseFindings::angina(study);
    if (recorded.name == QLatin1String("Bruce") && s.exerciseMinutes && s.maxStDeviationMm && angina)
        s.dukeScore = *s.exerciseMinutes - 5.0 * *s.maxStDeviationMm - 4.0 * ExerciseFindings::anginaIndex(*angina);
}

void computeRecovery(const Study &study, const Protocol &recorded, ExerciseScores &s) {
    const int recovery = firstStage(recorded, StagePhase::Recovery);
    if (recovery <= 0 || recorded.stage(recovery - 1).phase != StagePhase::Exercise) return;
    const double end = recorded.stageStart(recovery);
    const std::vector<double> &times = study.results().times(Result::BpmTrend);
    s.peakExerciseHr = rateAt(study.results(), end);
    // A recording that stops short of the minute has no rate there, even if
    // its last beats fall within the window.
    if (!times.empty() && times.back() >= end + 60.0) s.oneMinuteRecoveryHr = rateAt(study.results(), end + 60.0);
    if (s.peakExerciseHr && s.oneMinuteRecoveryHr) s.heartRateRecovery = *s.peakExerciseHr - *s.oneMinuteRecoveryHr;
}

void computeChronotropic(const Study &study, const Protocol &recorded, std::optional<double> age, ExerciseScores &s) {
    const StudyResults &r = study.results();
    const int rest = lastStage(recorded, StagePhase::Rest);
    if (rest >= 0 && r.perStage(Result::BpmPerStage, rest) > 0.0) s.restHr = r.perStage(Result::BpmPerStage, rest);
    if (r.scalar(Result::MaxBpm) > 0.0) s.peakHr = r.scalar(Result::MaxBpm);
    if (age) s.predictedMaxHr = ExerciseScores::predictedMaxHeartRate(*age);
    if (s.restHr && s.peakHr && s.predictedMaxHr && *s.predictedMaxHr > *s.restHr)
        s.chronotropicIndex = (*s.peakHr - *s.restHr) / (*s.predictedMaxHr - *s.restHr);
}

// The texts are the ExerciseScoreTexts functions', and the catalogues file
// them under that name.
QString tr(const char *text) { return QCoreApplication::translate("ExerciseScoreTexts", text); }

}  // namespace

std::optional<double> ExerciseScores::predictedMaxHeartRate(double ageYears) {
    if (!(ageYears >= 1.0 && ageYears < 220.0)) return std::nullopt;
    return 220.0 - ageYears;
}

std::optional<double> ExerciseScores::sexAgePredictedMets(const QString &sex, double ageYears) {
    if (!(ageYears >= 1.0 && ageYears <= 120.0)) return std::nullopt;
    double mets = 0.0;
    if (sex == QLatin1String("M"))
        mets = 18.0 - 0.15 * ageYears;
    else if (sex == QLatin1String("F"))
        mets = 14.7 - 0.13 * ageYears;
    else
        return std::nullopt;
    if (mets <= 0.0) return std::nullopt;
    return mets;
}

ExerciseScores ExerciseScores::compute(const Study &study) {
    ExerciseScores s;
    const std::optional<double> age = patientNumber(study, "patient/age");
    const StudyResults &r = study.results();
    if (r.scalar(Result::MaxMets) > 0.0) s.achievedMets = r.scalar(Result::MaxMets);
    if (age) s.predictedMets = sexAgePredictedMets(QString::fromUtf8(study.property("patient/sex")).trimmed(), *age);
    if (s.achievedMets && s.predictedMets) s.metsPercent = 100.0 * *s.achievedMets / *s.predictedMets;
    const Protocol *recorded = study.protocol();
    if (!recorded) return s;
    computeDuke(study, *recorded, s);
    computeRecovery(study, *recorded, s);
    computeChronotropic(study, *recorded, age, s);
    return s;
}

namespace ExerciseScoreTexts {

QString notAvailable() { return tr("not available"); }

QString duke(const ExerciseScores &s) { return s.dukeScore ? QString::number(*s.dukeScore, 'f', 1) : notAvailable(); }

QString heartRateRecovery(const ExerciseScores &s) {
    return s.heartRateRecovery ? tr("%1 bpm").arg(QString::number(*s.heartRateRecovery, 'f', 0)) : notAvailable();
}

QString chronotropicIndex(const ExerciseScores &s) {
    return s.chronotropicIndex ? QString::number(*s.chronotropicIndex, 'f', 2) : notAvailable();
}

QString mets(const ExerciseScores &s) {
    if (!s.achievedMets) return notAvailable();
    const QString achieved = QString::number(*s.achievedMets, 'f', 1);
    if (!s.predictedMets) return achieved;
    return tr("%1 of %2 predicted (%3%)")
        .arg(achieved, QString::number(*s.predictedMets, 'f', 1), QString::number(*s.metsPercent, 'f', 0));
}

}  // namespace ExerciseScoreTexts

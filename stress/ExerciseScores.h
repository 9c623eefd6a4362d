#pragma once
// The prognostic figures of an exercise test, computed from its stored
// results, recorded protocol, patient age and sex and the reviewer's angina:
//
// - Duke treadmill score (Mark et al., N Engl J Med 1991): for the "Bruce"
//   protocol only, exercise minutes − 5 × the largest ST deviation in mm
//   − 4 × the angina index (0 none, 1 non-limiting, 2 limiting). The ST
//   deviation is the largest absolute stored stage level ("STLevelPerStage")
//   of any exercise or recovery stage in the twelve standard leads other
//   than aVR, at 10 mm/mV.
// - Heart-rate recovery at 1 minute: the heart rate at the end of exercise
//   minus the heart rate one minute into recovery, each the mean of the
//   "BPMTrend" beats in the 5 s ending at that moment.
// - Chronotropic index: (peak HR − rest HR) / (age-predicted maximum − rest
//   HR), peak HR "maxBPM", rest HR the last rest stage's "BPMPerStage", the
//   predicted maximum 220 − age (Fox et al. 1971).
// - Achieved METS ("maxMETS") against the age- and sex-predicted value:
//   men 18.0 − 0.15 × age (Morris et al., J Am Coll Cardiol 1993), women
//   14.7 − 0.13 × age (Gulati et al., N Engl J Med 2005).
//
// A figure whose data are missing is absent, never 0.

#include <QString>
#include <optional>

class Study;

struct ExerciseScores {
    std::optional<double> exerciseMinutes;
    std::optional<double> maxStDeviationMm;
    std::optional<double> dukeScore;
    std::optional<double> peakExerciseHr;
    std::optional<double> oneMinuteRecoveryHr;
    std::optional<double> heartRateRecovery;
    std::optional<double> restHr;
    std::optional<double> peakHr;
    std::optional<double> predictedMaxHr;
    std::optional<double> chronotropicIndex;
    std::optional<double> achievedMets;
    std::optional<double> predictedMets;
    // Achieved over predicted METS, in percent.
    std::optional<double> metsPercent;

    static ExerciseScores compute(const Study &study);

    // 220 − age; absent for an age outside 1..219.
    static std::optional<double> predictedMaxHeartRate(double ageYears);
    // Absent for an unknown sex ("M" or "F") or an age outside 1..120.
    static std::optional<double> sexAgePredictedMets(const QString &sex, double ageYears);
    // Seconds over which a heart rate at a moment is averaged.
    static constexpr double kRateWindowSeconds = 5.0;
};

// The figures as the window and the report show them; the translated "not
// available" for an absent one.
namespace ExerciseScoreTexts {
QString notAvailable();
QString duke(const ExerciseScores &scores);
QString heartRateRecovery(const ExerciseScores &scores);
QString chronotropicIndex(const ExerciseScores &scores);
QString mets(const ExerciseScores &scores);
}  // namespace ExerciseScoreTexts

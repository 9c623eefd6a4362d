#pragma once
// What the stress monitor window writes in its labels and its stage table,
// computed from the engine's run and the study, so the window only shows it.

#include "store/Protocol.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

class Study;
class StudyResults;

namespace StressMonitorTexts {

// " m:ss" for whole seconds (minutes padded to two places).
QString clockText(double seconds);
QString totalTimeText(double recordedSeconds);
QString stageTimeText(double plannedSeconds);

// `value` with one decimal ("%.1f"), never "-0.0": a level that rounds to
// nothing must not read as a depression.
QString oneDecimal(double value);

// Whole beats per minute of an RR interval in seconds; 0 when there is none.
int heartRate(double rrSeconds);
// The rate against the patient's targets, in whole percent (0 for a target of 0).
QString heartRateInfoText(int heartRate, int maxTarget, int subMaxTarget);
// The study's "patient/trainingZoneMax" and "patient/trainingZoneSubMax", 0 when missing.
int trainingZoneMax(const Study &study);
int trainingZoneSubMax(const Study &study);

QString stageInfoText(const QString &protocolName, const QString &phaseName, int numberInPhase,
                      const QString &loadText);
QString patientNameText(const Study &study);

// The cells of one recorded stage, formatted as the stage table shows them;
// the screen and the printed report both take them from here, so the figures
// the operator watched are the figures on paper. `workload` is the number
// alone, for the caller's unit label.
struct StageCells {
    QString name, duration, speed, incline, workload, dose, mets, hr, bp, dp, st, stSlope;
};
// The ST columns are those of `stLead` (V5 unless the reviewer chose another).
constexpr int kDefaultStLead = 10;
std::vector<StageCells> stageCells(const Protocol &recorded, const StudyResults &results,
                                   const std::array<QString, 3> &phaseNames, const QString &workloadUnit,
                                   int stLead = kDefaultStLead);

struct StageTable {
    QStringList headers;
    std::vector<QStringList> rows;
};
// One row per stage of the study's recorded protocol, with its results.
// The ST headers carry `stLeadName`, the name of `stLead`.
StageTable stageTable(const Study &study, const std::array<QString, 3> &phaseNames, const QString &workloadUnit,
                      int stLead = kDefaultStLead, const QString &stLeadName = QStringLiteral("V5"));

}  // namespace StressMonitorTexts

#pragma once
// A stage's blood pressure corrected in review: the text typed into the
// stage table's "SBP/DBP" cell becomes the stage's stored pressures, its
// double product and the study maxima follow.
//
//   if (!StagePressureEdit::apply(study.results(), stage, cellText)) restore();

#include <QString>

class StudyResults;

namespace StagePressureEdit {

// "systolic/diastolic" as stored for `stage`, "%1/%2" of whole numbers.
QString text(const StudyResults &results, int stage);

// Stores `typed` when it is two whole numbers separated by a slash (spaces
// around them allowed) forming a plausible reading — systolic 40 to 300 mmHg,
// diastolic 20 to 200 and below it — or "0/0", which clears the stage's
// reading. The stage's "DPPerStage" becomes its heart rate × the systolic
// value and the maxima are derived again. False, changing nothing, for
// anything else or a stage the study did not record.
bool apply(StudyResults &results, int stage, const QString &typed);

}  // namespace StagePressureEdit

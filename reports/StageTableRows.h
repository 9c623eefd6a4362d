#pragma once
// The rows of the stage table, one per recorded stage, with the cells and
// formats of the monitor window's table, so the report and the screen the
// operator watched show the same figures.

#include "reports/ReportData.h"

#include <QString>
#include <vector>

class Protocol;
class StudyResults;

namespace StageTableRows {

// Channel index whose ST the table shows (V5).
int stLead();

// `recorded` is the study's recorded protocol; `workloadUnit` "watts" or
// anything else for kgm/min. Row fields: "name", "duration", "speed",
// "incline", "workload", "dose", "METS", "HR", "BP", "DP", "ST", "STSlope".
std::vector<ReportData::Row> rows(const Protocol &recorded, const StudyResults &results, const QString &workloadUnit);

// The workload unit's label: "W" for watts, "kgm/min" otherwise.
QString workloadLabel(const QString &workloadUnit);

}  // namespace StageTableRows

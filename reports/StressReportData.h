#pragma once
// Fills the report data of a stress test from its study and the practice's
// report settings: patient, study data, recorded protocol, stage table,
// maxima, events, conclusion, header and signature.

#include "reports/ReportData.h"
#include "reports/ReportSettings.h"

class Study;

namespace StressReportData {

// The study must outlive the data (graphics read its recording and results).
ReportData fill(const Study &study, const ReportSettings &settings);

// Header, signature, patient, study data and the recorded protocol with its
// stage table: what every page of a stress test's reports carries, without
// the averages and graphics that read the recording.
void fillHeader(const Study &study, const ReportSettings &settings, ReportData &data);

// 220 − age, the age-predicted maximum heart rate; 0 when the age is unknown.
int predictedMaxHeartRate(int ageYears);

}  // namespace StressReportData

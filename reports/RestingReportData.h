#pragma once
// Fills the report data of a resting ECG from its study and the practice's
// report settings: patient, study data, the global 12-lead measurement the
// study keeps (rate, PR, P, QRS, QT, QTc, frontal axes), the recording's
// paper speed, gain and filters, conclusion, header and signature.
//
// Fields beyond those every report knows (see ReportTemplate.h):
// heartRate (bpm), prInterval, pDuration, qrsDuration, qtInterval,
// qtcBazett, qtcFridericia (ms), pAxis, qrsAxis, tAxis (degrees): empty
// when the study holds no such measurement; recordingSeconds; ecgSpeed
// (mm/s), ecgGain (mm/mV) and ecgFilters, as the strips are printed;
// layout12by1, layout6by2, layout4by3: "1" for the chosen trace layout,
// empty for the others, so one template can hold all three with if="...".

#include "reports/ReportData.h"
#include "reports/ReportSettings.h"

class Study;

namespace RestingReportData {

// The study must outlive the data (graphics read its recording and beats).
ReportData fill(const Study &study, const ReportSettings &settings);

}  // namespace RestingReportData

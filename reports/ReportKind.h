#pragma once
// Which report a study gets: a resting ECG ("ECG" studies), a tilt-table
// test (its protocol's type, or the name the launcher gives it) or an
// exercise stress test; the template of each and the data it is filled with.
//
// Resting templates by trace layout: "12by1" ":/res/ecgreport1.xml",
// "6by2" ":/res/ecgreport2.xml", "4by3" ":/res/ecgreport3.xml".

#include "reports/ReportData.h"
#include "reports/ReportSettings.h"

#include <QString>

class Study;

namespace ReportKind {

enum class Kind { Stress, Resting, TiltTest };

Kind of(const Study &study);

// The resource of the kind's standard report; for a resting ECG the one of
// `traceLayout`, "12by1" for a layout it does not know.
QString templateFor(Kind kind, const QString &traceLayout);

// The report data of the kind. A tilt test is run and recorded as a stress
// test is (phases, pressures, events), so it shares the stress report's data.
ReportData fill(Kind kind, const Study &study, const ReportSettings &settings);

}  // namespace ReportKind

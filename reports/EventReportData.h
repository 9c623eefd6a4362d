#pragma once
// Fills the data of the event report (one stage end or operator event with
// its strip and average beats) from the study and a capture taken of it.
// The data never refers to the study, so it can be rendered on another
// thread while the study is being recorded into.

#include "reports/EventCapture.h"
#include "reports/ReportData.h"
#include "reports/ReportSettings.h"

#include <memory>

class Study;

namespace EventReportData {

// Besides the stress report's header, patient, study and stage fields:
// eventIndex, eventDescription, eventTime (m:ss of recording), eventStage and
// the cells of that stage's row as eventHR, eventBP, eventDP, eventMETS,
// eventSpeed, eventIncline, eventWorkload, eventDose, eventST, eventSTSlope;
// the set "lead" (name, ST in mm, slope in mm/s) of the captured average
// beats. Throws std::out_of_range for an unknown event.
ReportData fill(const Study &study, int eventIndex, const ReportSettings &settings,
                std::shared_ptr<const EventCapture> capture);

}  // namespace EventReportData

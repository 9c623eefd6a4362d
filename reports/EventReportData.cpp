#include "reports/EventReportData.h"

#include "reports/StageTableRows.h"
#include "reports/StressReportData.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace EventReportData {
namespace {

QString minutesSeconds(double seconds) {
    const long long total = std::max(0LL, static_cast<long long>(std::trunc(seconds)));
    return QStringLiteral("%1:%2").arg(total / 60).arg(total % 60, 2, 10, QLatin1Char('0'));
}

// mV as mm at 10 mm/mV; a value that rounds to nothing prints as "0.0",
// never "-0.0", which reads as a depression.
QString tenths(double mv) {
    const double mm = std::round(100.0 * mv) / 10.0;
    return QString::number(mm == 0.0 ? 0.0 : mm, 'f', 1);
}

// The row of the stage the event lies in; an event past the recorded
// stages (the test has gone on) belongs to the last one.
void fillStage(const Study &study, double position, const ReportSettings &settings, ReportData &data) {
    static const char *const kCells[] = {"HR",      "BP",       "DP",   "METS", "speed",
                                         "incline", "workload", "dose", "ST",   "STSlope"};
    ReportData::Row row;
    if (const Protocol *recorded = study.protocol()) {
        const std::vector<ReportData::Row> rows =
            StageTableRows::rows(*recorded, study.results(), settings.workloadUnit);
        int stage = recorded->stageAt(position);
        if (stage < 0 || stage >= static_cast<int>(rows.size())) stage = static_cast<int>(rows.size()) - 1;
        if (stage >= 0) row = rows[static_cast<std::size_t>(stage)];
    }
    data.setField(QStringLiteral("eventStage"), row.value(QStringLiteral("name")));
    for (const char *cell : kCells) {
        QString name = QString::fromLatin1(cell);
        const QString value = row.value(name);
        name[0] = name[0].toUpper();
        data.setField(QStringLiteral("event") + name, value);
    }
}

}  // namespace

ReportData fill(const Study &study, int eventIndex, const ReportSettings &settings,
                std::shared_ptr<const EventCapture> capture) {
    if (eventIndex < 0 || eventIndex >= study.eventCount()) throw std::out_of_range("no such event");
    ReportData data;
    StressReportData::fillHeader(study, settings, data);
    const StudyEvent &event = study.event(eventIndex);
    data.setField(QStringLiteral("eventIndex"), QString::number(eventIndex));
    data.setField(QStringLiteral("eventDescription"), QString::fromUtf8(event.description).trimmed());
    data.setField(QStringLiteral("eventTime"), minutesSeconds(event.position));
    fillStage(study, event.position, settings, data);
    data.declareRowSet(QStringLiteral("lead"));
    if (capture) {
        for (const EventCapture::LeadBeat &beat : capture->beats) {
            ReportData::Row row;
            row.insert(QStringLiteral("name"), beat.name);
            row.insert(QStringLiteral("ST"), beat.view.stValid ? tenths(beat.view.levelMv) : QString());
            row.insert(QStringLiteral("STSlope"), beat.view.stValid ? tenths(beat.view.slopeMvPerSecond) : QString());
            data.addRow(QStringLiteral("lead"), row);
        }
    }
    data.setCapture(std::move(capture));
    return data;
}

}  // namespace EventReportData

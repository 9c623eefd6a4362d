#include "reports/StageTableRows.h"

#include "analysis/ChannelTable.h"
#include "analysis/StudyResults.h"
#include "store/Protocol.h"
#include "stress/StressEvents.h"
#include "stress/StressMonitorTexts.h"

namespace StageTableRows {

int stLead() { return ChannelTable::indexOf(QStringLiteral("V5")); }

QString workloadLabel(const QString &workloadUnit) {
    return workloadUnit == QLatin1String("watts") ? QStringLiteral("W") : QStringLiteral("kgm/min");
}

std::vector<ReportData::Row> rows(const Protocol &recorded, const StudyResults &results, const QString &workloadUnit) {
    const QString unit = workloadUnit == QLatin1String("watts") ? QStringLiteral("watts") : QStringLiteral("kgm/min");
    const std::vector<StressMonitorTexts::StageCells> cells =
        StressMonitorTexts::stageCells(recorded, results, StressEvents::phaseNames(recorded.type), unit);
    std::vector<ReportData::Row> table;
    for (const StressMonitorTexts::StageCells &c : cells) {
        ReportData::Row row;
        row.insert(QStringLiteral("name"), c.name);
        row.insert(QStringLiteral("duration"), c.duration);
        row.insert(QStringLiteral("speed"), c.speed);
        row.insert(QStringLiteral("incline"), c.incline);
        row.insert(QStringLiteral("workload"), QStringLiteral("%1 %2").arg(c.workload, workloadLabel(workloadUnit)));
        row.insert(QStringLiteral("dose"), c.dose);
        row.insert(QStringLiteral("METS"), c.mets);
        row.insert(QStringLiteral("HR"), c.hr);
        row.insert(QStringLiteral("BP"), c.bp);
        row.insert(QStringLiteral("DP"), c.dp);
        row.insert(QStringLiteral("ST"), c.st);
        row.insert(QStringLiteral("STSlope"), c.stSlope);
        table.push_back(row);
    }
    return table;
}

}  // namespace StageTableRows

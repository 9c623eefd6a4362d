#include "reports/StageTableRows.h"

#include "analysis/ChannelTable.h"
#include "analysis/StudyResults.h"
#include "store/Protocol.h"
#include "stress/StressEvents.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>

namespace StageTableRows {
namespace {

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// Whole numbers as the monitor's "%d" shows them: the stored values are
// whole already, truncation only guards against a stray fraction.
QString whole(double value) { return QString::number(static_cast<long long>(std::trunc(value))); }

QString minutesSeconds(double seconds) {
    const long long total = std::max(0LL, static_cast<long long>(std::trunc(seconds)));
    return QStringLiteral("%1:%2").arg(total / 60, 2, 10, QLatin1Char('0')).arg(total % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

int stLead() { return ChannelTable::indexOf(QStringLiteral("V5")); }

QString workloadLabel(const QString &workloadUnit) {
    return workloadUnit == QLatin1String("watts") ? QStringLiteral("W") : QStringLiteral("kgm/min");
}

std::vector<ReportData::Row> rows(const Protocol &recorded, const StudyResults &results, const QString &workloadUnit) {
    const auto phaseNames = StressEvents::phaseNames(recorded.type);
    const ResultName stLevel = StudyResults::stLevelPerStage(stLead());
    const ResultName stSlope = StudyResults::stSlopePerStage(stLead());
    const QString unit = workloadUnit == QLatin1String("watts") ? QStringLiteral("watts") : QStringLiteral("kgm/min");
    std::array<int, 3> numberInPhase{};
    std::vector<ReportData::Row> table;
    for (int i = 0; i < recorded.stageCount(); ++i) {
        const Stage &stage = recorded.stage(i);
        const auto phase = static_cast<std::size_t>(std::clamp(static_cast<int>(stage.phase), 0, 2));
        ReportData::Row row;
        row.insert(QStringLiteral("name"), QStringLiteral("%1 %2").arg(phaseNames[phase]).arg(++numberInPhase[phase]));
        row.insert(QStringLiteral("duration"), minutesSeconds(stage.duration));
        row.insert(QStringLiteral("speed"),
                   QStringLiteral("%1 km/h").arg(fixed(stage.parameter(QStringLiteral("speed"), "km/h"), 1)));
        row.insert(QStringLiteral("incline"),
                   QStringLiteral("%1 %").arg(fixed(stage.parameter(QStringLiteral("incline"), "%"), 1)));
        row.insert(QStringLiteral("workload"),
                   QStringLiteral("%1 %2").arg(fixed(stage.parameter(QStringLiteral("workload"), unit), 1),
                                               workloadLabel(workloadUnit)));
        row.insert(QStringLiteral("dose"), fixed(stage.parameter(QStringLiteral("dose"), QString()), 0));
        const double mets = results.perStage(Result::MetsPerStage, i);
        row.insert(QStringLiteral("METS"), mets > 0.0 ? fixed(mets, 1) : QString());
        row.insert(QStringLiteral("HR"), whole(results.perStage(Result::BpmPerStage, i)));
        row.insert(QStringLiteral("BP"),
                   QStringLiteral("%1/%2").arg(whole(results.perStage(Result::SysBpPerStage, i)),
                                               whole(results.perStage(Result::DiaBpPerStage, i))));
        row.insert(QStringLiteral("DP"), whole(results.perStage(Result::DpPerStage, i)));
        row.insert(QStringLiteral("ST"), QStringLiteral("%1 mm").arg(fixed(10.0 * results.perStage(stLevel, i), 1)));
        row.insert(QStringLiteral("STSlope"),
                   QStringLiteral("%1 mm/s").arg(fixed(10.0 * results.perStage(stSlope, i), 1)));
        table.push_back(row);
    }
    return table;
}

}  // namespace StageTableRows

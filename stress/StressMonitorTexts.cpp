#include "stress/StressMonitorTexts.h"

#include "analysis/ResultNames.h"
#include "store/Study.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace StressMonitorTexts {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("StressMonitorTexts", text); }

int wholeSeconds(double seconds) { return seconds > 0.0 ? static_cast<int>(seconds) : 0; }

int patientNumber(const Study &study, const char *key) {
    bool ok = false;
    const int value = QString::fromUtf8(study.property(key)).trimmed().toInt(&ok);
    return ok ? value : 0;
}

}  // namespace

QString clockText(double seconds) {
    const int s = wholeSeconds(seconds);
    return QString::asprintf("%2d:%2.2d", s / 60, s % 60);
}

QString totalTimeText(double recordedSeconds) {
    const int s = wholeSeconds(recordedSeconds);
    return QString::asprintf("%2d:%2.2d total", s / 60, s % 60);
}

QString stageTimeText(double plannedSeconds) {
    const int s = wholeSeconds(plannedSeconds);
    return QString::asprintf("/ %2d:%2.2d ", s / 60, s % 60) + tr("stage");
}

int heartRate(double rrSeconds) { return rrSeconds > 0.0 ? static_cast<int>(60.0 / rrSeconds) : 0; }

QString heartRateInfoText(int heartRate, int maxTarget, int subMaxTarget) {
    const int ofMax = maxTarget != 0 ? heartRate * 100 / maxTarget : 0;
    const int ofSub = subMaxTarget != 0 ? heartRate * 100 / subMaxTarget : 0;
    return tr("%1% max %2<br/>%3% sub %4").arg(ofMax).arg(maxTarget).arg(ofSub).arg(subMaxTarget);
}

int trainingZoneMax(const Study &study) { return patientNumber(study, "patient/trainingZoneMax"); }
int trainingZoneSubMax(const Study &study) { return patientNumber(study, "patient/trainingZoneSubMax"); }

QString stageInfoText(const QString &protocolName, const QString &phaseName, int numberInPhase,
                      const QString &loadText) {
    return QStringLiteral("<b>%1</b> || %2<br/>%3")
        .arg(protocolName, QString::asprintf("%s %d", qUtf8Printable(phaseName), numberInPhase), loadText);
}

QString patientNameText(const Study &study) {
    return QStringLiteral("%1, %2").arg(QString::fromUtf8(study.property("patient/lastName")),
                                        QString::fromUtf8(study.property("patient/firstName")));
}

QString oneDecimal(double value) {
    const QString text = QString::asprintf("%.1f", value);
    return text == QLatin1String("-0.0") ? QStringLiteral("0.0") : text;
}

std::vector<StageCells> stageCells(const Protocol &recorded, const StudyResults &results,
                                   const std::array<QString, 3> &phaseNames, const QString &workloadUnit, int stLead) {
    std::vector<StageCells> cells;
    std::array<int, 3> perPhase{};
    for (int i = 0; i < recorded.stageCount(); ++i) {
        const Stage &stage = recorded.stage(i);
        const auto phase = static_cast<std::size_t>(std::clamp(static_cast<int>(stage.phase), 0, 2));
        StageCells c;
        c.name = QString::asprintf("%s %d", qUtf8Printable(phaseNames[phase]), ++perPhase[phase]);
        const int duration = wholeSeconds(stage.duration);
        c.duration = QString::asprintf("%02d:%02d", duration / 60, duration % 60);
        c.speed =
            QString::asprintf("%.1f %s", stage.parameter(QStringLiteral("speed"), QStringLiteral("km/h")), "km/h");
        c.incline = QString::asprintf("%.1f %s", stage.parameter(QStringLiteral("incline"), QStringLiteral("%")), "%");
        c.workload = QString::asprintf("%.1f", stage.parameter(QStringLiteral("workload"), workloadUnit));
        c.dose = QString::asprintf("%.0f", stage.parameter(QStringLiteral("dose"), QString()));
        const double mets = results.perStage(Result::MetsPerStage, i);
        c.mets = mets > 0.0 ? QString::asprintf("%.1f", mets) : QString();
        c.hr = QString::asprintf("%d", static_cast<int>(results.perStage(Result::BpmPerStage, i)));
        c.bp = QString::asprintf("%d/%d", static_cast<int>(results.perStage(Result::SysBpPerStage, i)),
                                 static_cast<int>(results.perStage(Result::DiaBpPerStage, i)));
        c.dp = QString::asprintf("%d", static_cast<int>(results.perStage(Result::DpPerStage, i)));
        c.st = oneDecimal(10.0 * results.perStage(ResultName(LeadResult::StLevelPerStage, stLead), i)) +
               QStringLiteral(" mm");
        c.stSlope = oneDecimal(10.0 * results.perStage(ResultName(LeadResult::StSlopePerStage, stLead), i)) +
                    QStringLiteral(" mm/s");
        cells.push_back(c);
    }
    return cells;
}

StageTable stageTable(const Study &study, const std::array<QString, 3> &phaseNames, const QString &workloadUnit,
                      int stLead, const QString &stLeadName) {
    StageTable table;
    const Protocol *recorded = study.protocol();
    const ProtocolType type = recorded ? recorded->type : ProtocolType::Treadmill;
    table.headers << tr("Stage") << tr("Duration");
    if (type == ProtocolType::Treadmill) table.headers << tr("Speed") << tr("Incline");
    if (type == ProtocolType::Ergometer) table.headers << tr("Workload");
    if (type == ProtocolType::Pharmacologic) table.headers << tr("Dose");
    table.headers << tr("METS") << tr("HR") << tr("SBP/DBP") << tr("DP") << tr("ST [%1]").arg(stLeadName)
                  << QString::fromUtf8("\u2206ST [%1]").arg(stLeadName);
    if (!recorded) return table;

    for (const StageCells &c : stageCells(*recorded, study.results(), phaseNames, workloadUnit, stLead)) {
        QStringList row;
        row << c.name << c.duration;
        if (type == ProtocolType::Treadmill) row << c.speed << c.incline;
        if (type == ProtocolType::Ergometer) row << c.workload + QLatin1Char(' ') + workloadUnit;
        if (type == ProtocolType::Pharmacologic) row << c.dose;
        row << c.mets << c.hr << c.bp << c.dp << c.st << c.stSlope;
        table.rows.push_back(row);
    }
    return table;
}

}  // namespace StressMonitorTexts

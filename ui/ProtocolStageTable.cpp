#include "ui/ProtocolStageTable.h"

#include <QRegularExpression>

namespace {

const QString kSpeed = QStringLiteral("speed");
const QString kIncline = QStringLiteral("incline");
const QString kWorkload = QStringLiteral("workload");
const QString kDose = QStringLiteral("dose");
const QString kKmh = QStringLiteral("km/h");
const QString kPercent = QStringLiteral("%");

// The number a cell's text starts with, so a cell that still carries its unit
// ("5.4 km/h") reads as the user sees it; 0 when it starts with none.
double leadingNumber(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?(\\d+\\.?\\d*|\\.\\d+))"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toDouble() : 0.0;
}

int leadingInteger(const QString &text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([+-]?\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

QString durationText(int seconds) { return QString::asprintf("%02d:%02d", seconds / 60, seconds % 60); }

}  // namespace

ProtocolStageTable::ProtocolStageTable(Protocol &protocol, const QString &workloadUnit)
    : protocol_(protocol), workloadUnit_(workloadUnit) {}

std::vector<StageColumn> ProtocolStageTable::columnsFor(ProtocolType type) {
    switch (type) {
    case ProtocolType::Treadmill:
        return {StageColumn::Stage, StageColumn::Duration, StageColumn::Speed, StageColumn::Incline};
    case ProtocolType::Ergometer: return {StageColumn::Stage, StageColumn::Duration, StageColumn::Workload};
    case ProtocolType::Pharmacologic: return {StageColumn::Stage, StageColumn::Duration, StageColumn::Dose};
    default: return {StageColumn::Stage, StageColumn::Duration};
    }
}

QStringList ProtocolStageTable::headings() const {
    QStringList texts;
    for (StageColumn column : columns()) {
        switch (column) {
        case StageColumn::Stage: texts << tr("Stage"); break;
        case StageColumn::Duration: texts << tr("Duration"); break;
        case StageColumn::Speed: texts << tr("Speed"); break;
        case StageColumn::Incline: texts << tr("Incline"); break;
        case StageColumn::Workload: texts << tr("Workload"); break;
        case StageColumn::Dose: texts << tr("Dose"); break;
        }
    }
    return texts;
}

QString ProtocolStageTable::stageLabel(int row) const {
    const StagePhase phase = protocol_.stage(row).phase;
    int number = 0;
    for (int i = 0; i <= row; ++i)
        if (protocol_.stage(i).phase == phase) ++number;
    switch (phase) {
    case StagePhase::Exercise: return tr("Exercise %1").arg(number);
    case StagePhase::Recovery: return tr("Recovery %1").arg(number);
    default: return tr("Rest %1").arg(number);
    }
}

QString ProtocolStageTable::loadText(const QString &parameter, const QString &unit, const Stage &stage) const {
    return QString::asprintf("%.1f %s", stage.parameter(parameter, unit), qPrintable(unit));
}

QString ProtocolStageTable::cellText(int row, int column) const {
    const std::vector<StageColumn> shown = columns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(shown.size())) return QString();
    const Stage &stage = protocol_.stage(row);
    switch (shown[static_cast<size_t>(column)]) {
    case StageColumn::Stage: return stageLabel(row);
    case StageColumn::Duration: return durationText(static_cast<int>(stage.duration));
    case StageColumn::Speed: return loadText(kSpeed, kKmh, stage);
    case StageColumn::Incline: return loadText(kIncline, kPercent, stage);
    case StageColumn::Workload: return loadText(kWorkload, workloadUnit_, stage);
    case StageColumn::Dose: return QString::asprintf("%.0f", stage.parameter(kDose, QString()));
    }
    return QString();
}

int ProtocolStageTable::typedDuration(const QString &typed, int currentSeconds) {
    static const QRegularExpression minutesSeconds(QStringLiteral("(\\d+)\\:(\\d+)"));
    const QRegularExpressionMatch match = minutesSeconds.match(typed);
    int minutes = 0;
    int seconds = 0;
    if (match.hasMatch()) {
        minutes = match.captured(1).toInt();
        seconds = match.captured(2).toInt();
    } else {
        minutes = leadingInteger(typed);
    }
    if (minutes < 0 || seconds < 0 || seconds > 59) minutes = seconds = 0;
    if (minutes == 0 && seconds == 0) return currentSeconds;
    return minutes * 60 + seconds;
}

QString ProtocolStageTable::edit(int row, int column, const QString &typed) {
    const std::vector<StageColumn> shown = columns();
    if (row < 0 || row >= rowCount() || column < 0 || column >= static_cast<int>(shown.size())) return QString();
    Stage &stage = protocol_.stage(row);
    switch (shown[static_cast<size_t>(column)]) {
    case StageColumn::Stage: break;
    case StageColumn::Duration: stage.duration = typedDuration(typed, static_cast<int>(stage.duration)); break;
    case StageColumn::Speed: stage.setParameter(kSpeed, leadingNumber(typed), kKmh); break;
    case StageColumn::Incline: stage.setParameter(kIncline, leadingNumber(typed), kPercent); break;
    case StageColumn::Workload: stage.setParameter(kWorkload, leadingNumber(typed), workloadUnit_); break;
    case StageColumn::Dose: stage.setParameter(kDose, leadingNumber(typed), QString()); break;
    }
    return cellText(row, column);
}

void ProtocolStageTable::append(StagePhase phase) { protocol_.insertStage(protocol_.stageCount()).phase = phase; }

void ProtocolStageTable::insert(int row, StagePhase phase) {
    if (row < 0 || row >= rowCount()) {
        append(phase);
        return;
    }
    protocol_.insertStage(row).phase = phase;
}

void ProtocolStageTable::remove(int row) { protocol_.removeStage(row); }

#include "stress/StressEvents.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace StressEvents {
namespace {

QString tr(const char *text) { return QCoreApplication::translate("StressEvents", text); }

QString phaseName(ProtocolType type, StagePhase phase) {
    const int index = std::clamp(static_cast<int>(phase), 0, 2);
    return phaseNames(type)[static_cast<std::size_t>(index)];
}

}  // namespace

std::array<QString, 3> phaseNames(ProtocolType type) {
    if (type == ProtocolType::TiltTest) return {QStringLiteral("Basal"), QString(), QStringLiteral("Control")};
    return {tr("Rest"), tr("Exercise"), tr("Recovery")};
}

bool stageEndEvent(const Protocol &recorded, int phaseStart, double now, StudyEvent *event) {
    const int count = recorded.stageCount();
    if (count == 0) return false;
    const Stage &last = recorded.stage(count - 1);
    const double end = recorded.stageEnd(count - 1);
    *event = StudyEvent();
    event->position = end > kStageEventSeconds ? end - kStageEventSeconds : 0.0;
    event->duration = kStageEventSeconds;
    if (recorded.type == ProtocolType::TiltTest) {
        event->print = false;
        if (last.phase == StagePhase::Rest) {
            event->description = phaseName(recorded.type, StagePhase::Rest).toUtf8();
        } else {
            const int minutes = static_cast<int>(std::floor((now - phaseStart) / 60.0));
            event->description =
                QString::asprintf("%s %d min.", qUtf8Printable(phaseName(recorded.type, StagePhase::Recovery)), minutes)
                    .toUtf8();
        }
        return true;
    }
    int number = 0;
    for (int i = 0; i < count; ++i)
        if (recorded.stage(i).phase == last.phase) ++number;
    event->print = true;
    event->description =
        QString::asprintf("%s %d", qUtf8Printable(phaseName(recorded.type, last.phase)), number).toUtf8();
    return true;
}

double operatorEventPosition(double recorded) { return std::max(0.0, recorded - kOperatorLeadSeconds); }

StudyEvent operatorEvent(double position, const QString &description) {
    StudyEvent event;
    event.position = position;
    event.duration = kOperatorEventSeconds;
    event.print = true;
    event.description = description.trimmed().toUtf8();
    return event;
}

QString stageLoadText(const Protocol &protocol, int stageIndex, const QString &workloadUnit) {
    if (stageIndex < 0 || stageIndex >= protocol.stageCount()) return QString();
    const Stage &stage = protocol.stage(stageIndex);
    switch (protocol.type) {
    case ProtocolType::Treadmill:
        return QString::asprintf("%.1f %s / %.0f %s", stage.parameter(QStringLiteral("speed"), QStringLiteral("km/h")),
                                 "km/h", stage.parameter(QStringLiteral("incline"), QStringLiteral("%")), "%");
    case ProtocolType::Ergometer:
        return QString::asprintf("%.1f %s", stage.parameter(QStringLiteral("workload"), workloadUnit),
                                 qUtf8Printable(workloadUnit));
    case ProtocolType::Pharmacologic: return tr("Dose %1").arg(stage.parameter(QStringLiteral("dose"), QString()));
    default: return QString();
    }
}

QString bloodPressurePromptText(const Protocol &protocol, int stageIndex, int numberInPhase,
                                const QString &workloadUnit) {
    if (stageIndex < 0 || stageIndex >= protocol.stageCount()) return QString();
    const Stage &stage = protocol.stage(stageIndex);
    QString text = QString::asprintf("%s %d", qUtf8Printable(phaseName(protocol.type, stage.phase)), numberInPhase);
    const QString load = stageLoadText(protocol, stageIndex, workloadUnit);
    if (!load.isEmpty()) text += QLatin1Char('\n') + load;
    return text;
}

}  // namespace StressEvents

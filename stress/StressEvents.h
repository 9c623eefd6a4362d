#pragma once
// The plain logic the stress monitor window carries out: phase names, the
// stage-end and operator events, and the blood-pressure prompt's stage text.

#include "store/Protocol.h"
#include "store/StudyEvent.h"

#include <QString>
#include <array>

namespace StressEvents {

constexpr double kStageEventSeconds = 11.0;
constexpr double kOperatorLeadSeconds = 5.0;
constexpr double kOperatorEventSeconds = 7.0;

// Names of phases 0, 1, 2: untranslated "Basal", "" and "Control" for a
// tilt test, the translated "Rest", "Exercise", "Recovery" otherwise.
std::array<QString, 3> phaseNames(ProtocolType type);

// The event for the last stage of `recorded` (the study's recorded protocol)
// at stage change time `now`; `phaseStart` is the current phase's start.
// False when nothing was recorded yet.
bool stageEndEvent(const Protocol &recorded, int phaseStart, double now, StudyEvent *event);

// Where an operator's event starts when its key is pressed at `recorded`.
double operatorEventPosition(double recorded);
StudyEvent operatorEvent(double position, const QString &description);

// The load of a stage as the operator reads it (speed and incline, workload
// in `workloadUnit`, "watts" or "kgm/min", or dose); empty for other types.
QString stageLoadText(const Protocol &protocol, int stageIndex, const QString &workloadUnit);

// The prompt's stage text: phase name and number in phase, then on a second
// line the stage's load when the protocol type has one.
QString bloodPressurePromptText(const Protocol &protocol, int stageIndex, int numberInPhase,
                                const QString &workloadUnit);

}  // namespace StressEvents

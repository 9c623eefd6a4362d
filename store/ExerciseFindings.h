#pragma once
// What the reviewer records about how an exercise test ended: why it was
// stopped (a fixed list as technicians use, plus free text) and the angina
// the patient had. They live in the study's properties under "stopReason",
// "stopReasonText" and "angina", and in the study document's "study" object
// under the same member names, written only once set, so documents of studies
// without them keep their layout and readers that do not know them ignore
// them.
//
//   ExerciseFindings::setAngina(study, Angina::NonLimiting);
//   if (auto a = ExerciseFindings::angina(study)) index = anginaIndex(*a);

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

class Study;

// Stored names in the comments.
enum class StopReason {
    TargetHeartRate,        // "targetHeartRate"
    Fatigue,                // "fatigue"
    Dyspnoea,               // "dyspnoea"
    ChestPain,              // "chestPain"
    StChanges,              // "stChanges"
    Arrhythmia,             // "arrhythmia"
    BloodPressureResponse,  // "bloodPressureResponse"
    Equipment,              // "equipment"
    Other,                  // "other"
};

// Stored names in the comments.
enum class Angina {
    None,         // "none"
    NonLimiting,  // "nonLimiting"
    Limiting,     // "limiting"
};

namespace ExerciseFindings {

extern const char *const kStopReasonKey;      // "stopReason"
extern const char *const kStopReasonTextKey;  // "stopReasonText"
extern const char *const kAnginaKey;          // "angina"

// Every reason in list order, for the window's choice.
const std::vector<StopReason> &stopReasons();
QByteArray storedName(StopReason reason);
QByteArray storedName(Angina angina);
// The reason or angina a stored name stands for; none for empty or unknown
// text (a study written before they existed reads as "not recorded").
std::optional<StopReason> stopReasonFromName(const QByteArray &name);
std::optional<Angina> anginaFromName(const QByteArray &name);

// Translated labels for the window and the report.
QString label(StopReason reason);
QString label(Angina angina);

// The Duke treadmill score's angina index: 0 none, 1 non-limiting, 2 limiting.
int anginaIndex(Angina angina);

std::optional<StopReason> stopReason(const Study &study);
QString stopReasonText(const Study &study);
std::optional<Angina> angina(const Study &study);
// None clears the member.
void setStopReason(Study &study, std::optional<StopReason> reason);
void setStopReasonText(Study &study, const QString &text);
void setAngina(Study &study, std::optional<Angina> angina);

}  // namespace ExerciseFindings

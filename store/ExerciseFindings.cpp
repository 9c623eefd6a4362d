#include "store/ExerciseFindings.h"

#include "store/Study.h"

#include <QCoreApplication>
#include <array>
#include <utility>

namespace ExerciseFindings {

const char *const kStopReasonKey = "stopReason";
const char *const kStopReasonTextKey = "stopReasonText";
const char *const kAnginaKey = "angina";

namespace {

struct ReasonEntry {
    StopReason reason;
    const char *name;
    const char *label;
};

// QT_TRANSLATE_NOOP keeps the labels in the catalogue while they stay plain
// C strings in the table.
const std::array<ReasonEntry, 9> kReasons{{
    {StopReason::TargetHeartRate, "targetHeartRate",
     QT_TRANSLATE_NOOP("ExerciseFindings", "Target heart rate reached")},
    {StopReason::Fatigue, "fatigue", QT_TRANSLATE_NOOP("ExerciseFindings", "Fatigue")},
    {StopReason::Dyspnoea, "dyspnoea", QT_TRANSLATE_NOOP("ExerciseFindings", "Dyspnoea")},
    {StopReason::ChestPain, "chestPain", QT_TRANSLATE_NOOP("ExerciseFindings", "Chest pain")},
    {StopReason::StChanges, "stChanges", QT_TRANSLATE_NOOP("ExerciseFindings", "ST changes")},
    {StopReason::Arrhythmia, "arrhythmia", QT_TRANSLATE_NOOP("ExerciseFindings", "Arrhythmia")},
    {StopReason::BloodPressureResponse, "bloodPressureResponse",
     QT_TRANSLATE_NOOP("ExerciseFindings", "Blood-pressure response")},
    {StopReason::Equipment, "equipment", QT_TRANSLATE_NOOP("ExerciseFindings", "Equipment")},
    {StopReason::Other, "other", QT_TRANSLATE_NOOP("ExerciseFindings", "Other")},
}};

struct AnginaEntry {
    Angina angina;
    const char *name;
    const char *label;
    int index;
};

const std::array<AnginaEntry, 3> kAngina{{
    {Angina::None, "none", QT_TRANSLATE_NOOP("ExerciseFindings", "None"), 0},
    {Angina::NonLimiting, "nonLimiting", QT_TRANSLATE_NOOP("ExerciseFindings", "Non-limiting"), 1},
    {Angina::Limiting, "limiting", QT_TRANSLATE_NOOP("ExerciseFindings", "Limiting"), 2},
}};

const ReasonEntry &entry(StopReason reason) {
    for (const ReasonEntry &e : kReasons)
        if (e.reason == reason) return e;
    return kReasons.back();
}

const AnginaEntry &entry(Angina angina) {
    for (const AnginaEntry &e : kAngina)
        if (e.angina == angina) return e;
    return kAngina.front();
}

QString tr(const char *text) { return QCoreApplication::translate("ExerciseFindings", text); }

}  // namespace

const std::vector<StopReason> &stopReasons() {
    static const std::vector<StopReason> all = [] {
        std::vector<StopReason> list;
        for (const ReasonEntry &e : kReasons) list.push_back(e.reason);
        return list;
    }();
    return all;
}

QByteArray storedName(StopReason reason) { return entry(reason).name; }
QByteArray storedName(Angina angina) { return entry(angina).name; }

std::optional<StopReason> stopReasonFromName(const QByteArray &name) {
    for (const ReasonEntry &e : kReasons)
        if (name == e.name) return e.reason;
    return std::nullopt;
}

std::optional<Angina> anginaFromName(const QByteArray &name) {
    for (const AnginaEntry &e : kAngina)
        if (name == e.name) return e.angina;
    return std::nullopt;
}

QString label(StopReason reason) { return tr(entry(reason).label); }
QString label(Angina angina) { return tr(entry(angina).label); }
int anginaIndex(Angina angina) { return entry(angina).index; }

std::optional<StopReason> stopReason(const Study &study) { return stopReasonFromName(study.property(kStopReasonKey)); }

QString stopReasonText(const Study &study) { return QString::fromUtf8(study.property(kStopReasonTextKey)); }

std::optional<Angina> angina(const Study &study) { return anginaFromName(study.property(kAnginaKey)); }

void setStopReason(Study &study, std::optional<StopReason> reason) {
    study.setProperty(kStopReasonKey, reason ? storedName(*reason) : QByteArray());
}

void setStopReasonText(Study &study, const QString &text) { study.setProperty(kStopReasonTextKey, text.toUtf8()); }

void setAngina(Study &study, std::optional<Angina> angina) {
    study.setProperty(kAnginaKey, angina ? storedName(*angina) : QByteArray());
}

}  // namespace ExerciseFindings

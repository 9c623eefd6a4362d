#pragma once
// What starting a study from the launcher needs, apart from the windows: the
// protocol choices, the study record built from the quick fields and the
// device, and the run plan of the chosen protocol or ramp.

#include "store/Protocol.h"
#include "stress/StressRun.h"
#include "store/StudyInfo.h"

#include <QString>
#include <QStringList>
#include <optional>

class AcqDevice;
class StudyStore;

namespace StressTestStart {

// The study types a new study is stored under.
constexpr const char *kStressType = "stress";
constexpr const char *kRestingEcgType = "ECG";

struct QuickFields {
    QString lastName;
    QString firstName;
    QString protocolName;
    QString sex;  // "M", "F" or empty
    QString patientId;
};

// The store's protocols, then the treadmill ramps, then "Tilt test": the
// order of the study data dialog, so both offer the same names.
QStringList protocolChoices(const StudyStore &store);
bool isTiltTest(const QString &protocolName);

// The patient of the quick fields, in a record of the given study type.
StudyInfo patientInfo(const QuickFields &fields, const char *studyType);
// Copies the shape of the device's recording into `info`.
void describeRecording(StudyInfo &info, const AcqDevice &device);
// A new stress study's record: the patient and protocol from the fields,
// the shape of the recording from the device.
StudyInfo studyInfo(const QuickFields &fields, const AcqDevice &device);

// The stages of the chosen protocol, or the chosen ramp; a tilt test runs
// without either. Throws std::runtime_error "Protocol not found" when the
// store holds neither under that name.
StressRun::Plan plan(const StudyStore &store, const QString &protocolName);
// Which equipment drives the plan's load: none for a tilt test.
std::optional<ProtocolType> equipmentType(const StressRun::Plan &plan);

}  // namespace StressTestStart

#pragma once
// What starting a stress test from the launcher's quick fields needs, apart
// from the windows: the protocol choices, the study record built from the
// fields and the device, and the run plan of the chosen protocol.

#include "stress/StressRun.h"
#include "store/StudyInfo.h"

#include <QString>
#include <QStringList>

class AcqDevice;
class StudyStore;

namespace StressTestStart {

struct QuickFields {
    QString lastName;
    QString firstName;
    QString protocolName;
};

// The store's protocols, then "Tilt test".
QStringList protocolChoices(const StudyStore &store);
bool isTiltTest(const QString &protocolName);

// The new study's record: the patient and protocol from the fields, the
// shape of the recording from the device.
StudyInfo studyInfo(const QuickFields &fields, const AcqDevice &device);

// The stages of the chosen protocol; a tilt test runs without stages.
// Throws std::runtime_error "Protocol not found" when the store no longer
// holds it.
StressRun::Plan plan(const StudyStore &store, const QString &protocolName);

}  // namespace StressTestStart

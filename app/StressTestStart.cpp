#include "app/StressTestStart.h"

#include "acquisition/AcqDevice.h"
#include "store/StudyStore.h"
#include "ui/StudyDialog.h"

#include <stdexcept>

namespace StressTestStart {

QStringList protocolChoices(const StudyStore &store) {
    QStringList names = store.protocolNames();
    names << QString::fromLatin1(StudyDialog::kTiltTestName);
    return names;
}

bool isTiltTest(const QString &protocolName) { return protocolName == QLatin1String(StudyDialog::kTiltTestName); }

StudyInfo studyInfo(const QuickFields &fields, const AcqDevice &device) {
    StudyInfo info;
    info.studyType = "stress";
    info.protocolName = fields.protocolName.toUtf8();
    info.patientLastName = fields.lastName.trimmed().toUtf8();
    info.patientFirstName = fields.firstName.trimmed().toUtf8();
    info.resolution = device.resolutionBits();
    info.channelCount = device.channelCount();
    info.samplingRate = device.samplingRate();
    info.gainMax = device.amplitudeMax();
    QStringList names;
    for (int i = 0; i < device.channelCount(); ++i) names << device.channelName(i);
    info.channelNames = names.join(',').toUtf8();
    return info;
}

StressRun::Plan plan(const StudyStore &store, const QString &protocolName) {
    StressRun::Plan plan;
    if (isTiltTest(protocolName)) return plan;
    Protocol protocol;
    if (!store.protocol(protocolName, protocol)) throw std::runtime_error("Protocol not found");
    plan.stages = protocol;
    return plan;
}

}  // namespace StressTestStart

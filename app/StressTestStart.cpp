#include "app/StressTestStart.h"

#include "acquisition/AcqDevice.h"
#include "store/StudyStore.h"
#include "stress/RampTable.h"
#include "ui/StudyDialog.h"

#include <stdexcept>

namespace StressTestStart {

namespace {

// A damaged ramp file must not keep the protocols from being offered; the
// protocol editor reports it where ramps are edited.
std::optional<RampTable> rampTable(const StudyStore &store) {
    try {
        return RampTable(RampTable::filePathUnder(store.rootFolder()));
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

}  // namespace

QStringList protocolChoices(const StudyStore &store) {
    QStringList names = store.protocolNames();
    if (const std::optional<RampTable> ramps = rampTable(store)) names << ramps->names();
    names << QString::fromLatin1(StudyDialog::kTiltTestName);
    return names;
}

bool isTiltTest(const QString &protocolName) { return protocolName == QLatin1String(StudyDialog::kTiltTestName); }

StudyInfo patientInfo(const QuickFields &fields, const char *studyType) {
    StudyInfo info;
    info.studyType = studyType;
    info.protocolName = fields.protocolName.toUtf8();
    info.patientLastName = fields.lastName.trimmed().toUtf8();
    info.patientFirstName = fields.firstName.trimmed().toUtf8();
    info.patientSex = fields.sex.toUtf8();
    info.patientMedicalHistoryNumber = fields.patientId.trimmed().toUtf8();
    return info;
}

void describeRecording(StudyInfo &info, const AcqDevice &device) {
    info.resolution = device.resolutionBits();
    info.channelCount = device.channelCount();
    info.samplingRate = device.samplingRate();
    info.gainMax = device.amplitudeMax();
    QStringList names;
    for (int i = 0; i < device.channelCount(); ++i) names << device.channelName(i);
    info.channelNames = names.join(',').toUtf8();
}

StudyInfo studyInfo(const QuickFields &fields, const AcqDevice &device) {
    StudyInfo info = patientInfo(fields, kStressType);
    describeRecording(info, device);
    return info;
}

StressRun::Plan plan(const StudyStore &store, const QString &protocolName) {
    StressRun::Plan plan;
    if (isTiltTest(protocolName)) return plan;
    Protocol protocol;
    if (store.protocol(protocolName, protocol)) {
        plan.stages = protocol;
        return plan;
    }
    RampProtocol ramp;
    if (const std::optional<RampTable> ramps = rampTable(store); ramps && ramps->ramp(protocolName, ramp)) {
        plan.ramp = ramp;
        return plan;
    }
    throw std::runtime_error("Protocol not found");
}

std::optional<ProtocolType> equipmentType(const StressRun::Plan &plan) {
    if (plan.stages) return plan.stages->type;
    // Ramps are walked or run: the treadmill follows them.
    if (plan.ramp) return ProtocolType::Treadmill;
    return std::nullopt;
}

}  // namespace StressTestStart

#include "store/StudyInfoConversion.h"

#include "analysis/ChannelTable.h"
#include "analysis/FrontEndRange.h"

namespace {

struct PropertyField {
    const char *key;
    QByteArray StudyInfo::*field;
};

// Every StudyInfo text field that is a study property, with its key.
const PropertyField kPropertyFields[] = {
    {"baseFilename", &StudyInfo::baseFilename},
    {"status", &StudyInfo::status},
    {"studyType", &StudyInfo::studyType},
    {"institutionName", &StudyInfo::institutionName},
    {"technicianName", &StudyInfo::technicianName},
    {"doctorName", &StudyInfo::doctorName},
    {"referringDoctorName", &StudyInfo::referringDoctorName},
    {"treatment", &StudyInfo::treatment},
    {"indication", &StudyInfo::indication},
    {"comments", &StudyInfo::comments},
    {"conclusion", &StudyInfo::conclusion},
    {"protocolName", &StudyInfo::protocolName},
    {"patient/firstName", &StudyInfo::patientFirstName},
    {"patient/lastName", &StudyInfo::patientLastName},
    {"patient/sex", &StudyInfo::patientSex},
    {"patient/birthDate", &StudyInfo::patientBirthDate},
    {"patient/personIdType", &StudyInfo::patientPersonIdType},
    {"patient/personIdNumber", &StudyInfo::patientPersonIdNumber},
    {"patient/animalSpecies", &StudyInfo::patientAnimalSpecies},
    {"patient/animalBreed", &StudyInfo::patientAnimalBreed},
    {"patient/medicalGroupName", &StudyInfo::patientMedicalGroupName},
    {"patient/medicalGroupNumber", &StudyInfo::patientMedicalGroupNumber},
    {"patient/medicalHistoryNumber", &StudyInfo::patientMedicalHistoryNumber},
    {"patient/address", &StudyInfo::patientAddress},
    {"patient/city", &StudyInfo::patientCity},
    {"patient/state", &StudyInfo::patientState},
    {"patient/country", &StudyInfo::patientCountry},
    {"patient/phoneNumber", &StudyInfo::patientPhoneNumber},
    {"patient/age", &StudyInfo::patientAge},
    {"patient/weight", &StudyInfo::patientWeight},
    {"patient/height", &StudyInfo::patientHeight},
    {"patient/trainingZoneMax", &StudyInfo::patientTrainingZoneMax},
    {"patient/trainingZoneSubMax", &StudyInfo::patientTrainingZoneSubMax},
};

}  // namespace

StudyInfo infoFromStudy(const Study &study) {
    StudyInfo info;
    info.id = study.id();
    info.studyDateTime = study.studyDateTime();
    info.recordingDateTime = study.recordingDateTime();
    for (const PropertyField &p : kPropertyFields) info.*p.field = study.property(p.key);
    for (const QByteArray &name : study.riskFactorNames()) {
        RiskFactor factor;
        factor.name = name;
        factor.checked = study.riskFactor(name, factor.comment);
        info.riskFactors << factor;
    }
    return info;
}

void applyInfo(Study &study, const StudyInfo &info) {
    study.setStudyDateTime(info.studyDateTime);
    study.setRecordingDateTime(info.recordingDateTime);
    for (const PropertyField &p : kPropertyFields) study.setProperty(p.key, info.*p.field);
}

StudyInfo frontEndRecordingInfo(int samplingRate) {
    StudyInfo info;
    info.samplingRate = samplingRate;
    info.channelCount = ChannelTable::kChannelCount;
    info.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask).join(',').toUtf8();
    info.resolution = 16;
    info.gainMax = FrontEndRange::kRangeMv;
    return info;
}

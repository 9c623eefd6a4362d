#pragma once
// The flat summary of a study: the index row, the study data dialog's fields
// and the parameters of a new study. Text is UTF-8 in byte strings.

#include <QByteArray>
#include <QList>

struct RiskFactor {
    QByteArray name;
    bool checked = false;
    QByteArray comment;

    bool operator==(const RiskFactor &other) const {
        return name == other.name && checked == other.checked && comment == other.comment;
    }
};

struct StudyInfo {
    qint32 id = 0;
    QByteArray baseFilename;
    QByteArray status;
    QByteArray studyType;
    QByteArray studyDateTime;
    QByteArray recordingDateTime;
    QByteArray institutionName;
    QByteArray technicianName;
    QByteArray doctorName;
    QByteArray referringDoctorName;
    QByteArray treatment;
    QByteArray indication;
    QByteArray comments;
    QByteArray conclusion;
    QByteArray protocolName;

    // Read only when a study is created: the shape of its new recording.
    qint32 samplingRate = 0;
    qint32 channelCount = 0;
    QByteArray channelNames;  // separated by ","
    qint32 resolution = 0;
    double gainMax = 0.0;  // the recording spans -gainMax .. gainMax

    QByteArray patientFirstName;
    QByteArray patientLastName;
    QByteArray patientSex;
    QByteArray patientBirthDate;
    QByteArray patientPersonIdType;
    QByteArray patientPersonIdNumber;
    QByteArray patientAnimalSpecies;
    QByteArray patientAnimalBreed;
    QByteArray patientMedicalGroupName;
    QByteArray patientMedicalGroupNumber;
    QByteArray patientMedicalHistoryNumber;
    QByteArray patientAddress;
    QByteArray patientCity;
    QByteArray patientState;
    QByteArray patientCountry;
    QByteArray patientPhoneNumber;
    QByteArray patientAge;
    QByteArray patientWeight;
    QByteArray patientHeight;
    QByteArray patientTrainingZoneMax;
    QByteArray patientTrainingZoneSubMax;

    QList<RiskFactor> riskFactors;  // in the study's order
};

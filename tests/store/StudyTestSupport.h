#pragma once
// Shared helpers for the study record and study file tests: a small study
// whose document text is written out by hand, a study with every member set,
// and raw file access.

#include "acquisition/RecordingFileSupport.h"
#include "store/EchoScoring.h"
#include "store/Protocol.h"
#include "store/Study.h"

#include <QString>
#include <memory>

// Id 7, two patient names, sex, a study type, a study date, two risk factors
// added out of name order, one unprinted event and a few results.
inline std::unique_ptr<Study> smallStudy() {
    auto study = std::make_unique<Study>(7);
    study->setProperty("baseFilename", "H1-Doe-Ann-20240102030405");
    study->setProperty("studyType", "Stress test");
    study->setProperty("patient/firstName", "Ann");
    study->setProperty("patient/lastName", "Doe");
    study->setProperty("patient/sex", "F");
    study->setStudyDateTime("20240102030405");
    study->setRiskFactor("Obesidad", true, "BMI 31");
    study->setRiskFactor("Diabetes", false, "");
    StudyEvent &event = study->addEvent();
    event.description = "ST depression";
    event.position = 12.5;
    event.duration = 10;
    event.print = false;
    study->results().appendPoint(Result::BpmTrend, 1.5, 72);
    study->results().appendPoint(Result::BpmTrend, 3, 75);
    study->results().setPerStage(Result::MetsPerStage, 1, 4.25);
    study->results().setScalar(Result::MaxBpm, 180);
    return study;
}

// The "study" and "patient" objects of smallStudy(), exactly as written.
inline QByteArray smallStudyObjectText() {
    return R"({"baseFilename":"H1-Doe-Ann-20240102030405","comments":"","conclusion":"","doctorName":"",)"
           R"("id":7,"indication":"","institutionName":"","protocolName":"","recordingDateTime":"00000000000000",)"
           R"("referringDoctorName":"","status":"","studyDateTime":"20240102030405","studyType":"Stress test",)"
           R"("technicianName":"","treatment":""})";
}

inline QByteArray smallPatientObjectText() {
    return R"({"address":"","age":"","birthDate":"","city":"","country":"","firstName":"Ann","height":"",)"
           R"("lastName":"Doe","medicalGroupName":"","medicalGroupNumber":"","medicalHistoryNumber":"",)"
           R"("personIdNumber":"","personIdType":"","phoneNumber":"","riskFactors":[)"
           R"({"comment":"","name":"Diabetes","status":false},{"comment":"BMI 31","name":"Obesidad","status":true}],)"
           R"("sex":"F","state":"","trainingZoneMax":"","trainingZoneSubMax":"","weight":""})";
}

// Every property (veterinary ones included), both date-times, risk factors
// with non-ASCII text, several events, data in every kind of result series,
// a protocol and echo scores.
inline std::unique_ptr<Study> fullStudy() {
    auto study = std::make_unique<Study>(123456789);
    const char *const keys[] = {"baseFilename",
                                "status",
                                "studyType",
                                "protocolName",
                                "institutionName",
                                "technicianName",
                                "doctorName",
                                "referringDoctorName",
                                "treatment",
                                "indication",
                                "comments",
                                "conclusion",
                                "patient/firstName",
                                "patient/lastName",
                                "patient/sex",
                                "patient/birthDate",
                                "patient/age",
                                "patient/weight",
                                "patient/height",
                                "patient/trainingZoneMax",
                                "patient/trainingZoneSubMax",
                                "patient/personIdType",
                                "patient/personIdNumber",
                                "patient/animalSpecies",
                                "patient/animalBreed",
                                "patient/medicalGroupName",
                                "patient/medicalGroupNumber",
                                "patient/medicalHistoryNumber",
                                "patient/address",
                                "patient/city",
                                "patient/state",
                                "patient/country",
                                "patient/phoneNumber"};
    int n = 0;
    for (const char *key : keys)
        study->setProperty(key, QByteArray(key) + " value \xC3\xB1 " + QByteArray::number(++n));
    study->setProperty("comments", "line one\nline \"two\"\t\\ end");
    study->setStudyDateTime("20240102030405");
    study->setRecordingDateTime("20240102030512");
    study->setRiskFactor("Tabaquismo actual", true, "20/day");
    study->setRiskFactor("Hipertensi\xC3\xB3n", true, "since 2010");
    study->setRiskFactor("Angor", false, "");
    for (int i = 0; i < 3; ++i) {
        StudyEvent &event = study->addEvent();
        event.description = "event " + QByteArray::number(i);
        event.position = 30.25 * i + 0.1;
        event.duration = 8.0 + i;
        event.print = i != 1;
    }
    StudyResults &r = study->results();
    for (int i = 0; i < 5; ++i) {
        r.appendPoint(Result::BpmTrend, 2.0 * i, 70 + 3.5 * i);
        r.appendPoint(StudyResults::stLevelTrend(15), 2.0 * i, -0.05 * i);
    }
    r.setPerStage(Result::SysBpPerStage, 2, 160);
    r.setPerStage(StudyResults::stSlopePerStage(3), 0, -1.25);
    r.setScalar(Result::MaxVo2, 35.7);
    r.setScalar(Result::QrsAxis, 60);
    r.setScalar(Result::MeasurementChannel, 4);
    r.appendToList(Result::PacemakerPulses, 0.125);
    r.appendToList(Result::PacemakerPulses, 1.0625);
    auto protocol = std::make_unique<Protocol>();
    protocol->name = "Bruce";
    protocol->appendTreadmillStage(StagePhase::Rest, 60, 0, 0);
    protocol->appendTreadmillStage(StagePhase::Exercise, 180, 2.7, 10);
    protocol->appendTreadmillStage(StagePhase::Recovery, 120, 1.5, 0);
    study->setProtocol(std::move(protocol));
    auto echo = std::make_unique<EchoScoring>();
    for (int i = 1; i <= EchoScoring::kSegments; ++i) {
        echo->scoreRest[static_cast<std::size_t>(i)] = 1;
        echo->scorePeak[static_cast<std::size_t>(i)] = i % 4 + 1;
        echo->scorePost[static_cast<std::size_t>(i)] = 17 - i;
    }
    study->setEchoScoring(std::move(echo));
    return study;
}

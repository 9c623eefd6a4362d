#include "StudyTestSupport.h"
#include "store/StudyInfoConversion.h"

#include <gtest/gtest.h>

TEST(StudyRecord, NewStudyStartsEmptyWithUnsetDateTimesAndDefaultResults) {
    const Study study(42);
    EXPECT_EQ(study.id(), 42);
    EXPECT_EQ(study.studyDateTime(), "00000000000000");
    EXPECT_EQ(study.recordingDateTime(), "00000000000000");
    EXPECT_EQ(study.property("patient/lastName"), "");
    EXPECT_TRUE(study.properties().empty());
    EXPECT_TRUE(study.riskFactorNames().isEmpty());
    EXPECT_EQ(study.eventCount(), 0);
    EXPECT_EQ(study.recording(), nullptr);
    EXPECT_EQ(study.beats(), nullptr);
    EXPECT_EQ(study.echoScoring(), nullptr);
    EXPECT_EQ(study.protocol(), nullptr);
    EXPECT_EQ(study.results().scalar(Result::QrsAxis), -999.0);
    EXPECT_TRUE(study.results().values(Result::BpmTrend).empty());
}

TEST(StudyRecord, RiskFactorsAreKeptInByteOrderReplacedByNameAndAbsentOnesLeaveTheCommentAlone) {
    Study study;
    // Added out of order; "\xC3\x81ngor" (a capital A with accent) sorts after
    // every ASCII name, lower case after upper case.
    for (const char *name : {"Obesidad", "Diabetes", "\xC3\x81ngor", "angor", "Angor"})
        study.setRiskFactor(name, true, QByteArray("about ") + name);
    study.setRiskFactor("Diabetes", false, "type 2");
    EXPECT_EQ(study.riskFactorNames(), (QList<QByteArray>{"Angor", "Diabetes", "Obesidad", "angor", "\xC3\x81ngor"}));

    const struct {
        const char *name;
        bool checked;
        const char *comment;
    } cases[] = {{"Diabetes", false, "type 2"},
                 {"Obesidad", true, "about Obesidad"},
                 {"Gota", false, "untouched"},
                 {"diabetes", false, "untouched"}};
    for (const auto &c : cases) {
        QByteArray comment = "untouched";
        EXPECT_EQ(study.riskFactor(c.name, comment), c.checked) << c.name;
        EXPECT_EQ(comment, c.comment) << c.name;
    }
}

TEST(StudyRecord, EventsKeepInsertionOrderAndStartAsPrintedAtZero) {
    Study study;
    study.addEvent().description = "first";
    StudyEvent &second = study.addEvent();
    EXPECT_EQ(second.position, 0.0);
    EXPECT_EQ(second.duration, 0.0);
    EXPECT_TRUE(second.print);
    second.description = "second";
    ASSERT_EQ(study.eventCount(), 2);
    EXPECT_EQ(study.event(0).description, "first");
    EXPECT_EQ(study.event(1).description, "second");
    EXPECT_THROW(study.event(2), std::out_of_range);
}

TEST(EchoScoring, SegmentKeysFollowTheFixedOrderAndLookupsAreExact) {
    const char *const keys[] = {"BasalAnteroSeptum", "MidAnteroSeptum", "BasalSeptum",  "MidSeptum",
                                "ApicalSeptum",      "BasalInferior",   "MidInferior",  "ApicalInferior",
                                "BasalPosterior",    "MidPosterior",    "BasalLateral", "MidLateral",
                                "ApicalLateral",     "BasalAnterior",   "MidAnterior",  "ApicalAnterior"};
    for (int i = 1; i <= 16; ++i) {
        EXPECT_EQ(EchoScoring::segmentKey(i), keys[i - 1]);
        EXPECT_EQ(EchoScoring::segmentIndex(keys[i - 1]), i);
    }
    for (int index : {0, -1, 17, 1000}) EXPECT_EQ(EchoScoring::segmentKey(index), "") << index;
    for (const char *key : {"", "midSeptum", "MIDSEPTUM", "MidSeptum ", "Mid Septum", "MidSeptu"})
        EXPECT_EQ(EchoScoring::segmentIndex(key), 0) << key;
    const EchoScoring scores;
    for (int i = 0; i <= 16; ++i) EXPECT_EQ(scores.scoreRest[i] | scores.scorePeak[i] | scores.scorePost[i], 0);
}

TEST(StudyInfoConversion, EveryFieldTravelsUnderItsOwnKeyBothWays) {
    const struct {
        const char *key;
        QByteArray StudyInfo::*field;
    } fields[] = {
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
    const std::unique_ptr<Study> full = fullStudy();
    const StudyInfo info = infoFromStudy(*full);
    EXPECT_EQ(info.id, 123456789);
    EXPECT_EQ(info.studyDateTime, "20240102030405");
    EXPECT_EQ(info.recordingDateTime, "20240102030512");
    for (const auto &f : fields) EXPECT_EQ(info.*f.field, full->property(f.key)) << f.key;
    EXPECT_EQ(info.riskFactors, (QList<RiskFactor>{{"Angor", false, ""},
                                                   {"Hipertensi\xC3\xB3n", true, "since 2010"},
                                                   {"Tabaquismo actual", true, "20/day"}}));
    EXPECT_EQ(info.samplingRate, 0);
    EXPECT_EQ(info.channelCount, 0);

    // Applying writes every field, empty ones too, and nothing else.
    Study target(5);
    target.setRiskFactor("Gota", true, "kept");
    StudyInfo changed;
    changed.id = 99;
    changed.studyDateTime = "20250101000000";
    for (const auto &f : fields) target.setProperty(f.key, "old");
    changed.patientCity = "Rosario";
    changed.riskFactors << RiskFactor{"Angor", true, ""};
    applyInfo(target, changed);
    EXPECT_EQ(target.id(), 5);
    EXPECT_EQ(target.studyDateTime(), "20250101000000");
    EXPECT_EQ(target.recordingDateTime(), "");
    for (const auto &f : fields)
        EXPECT_EQ(target.property(f.key), f.field == &StudyInfo::patientCity ? "Rosario" : "") << f.key;
    EXPECT_EQ(target.properties().size(), std::size(fields));
    EXPECT_EQ(target.riskFactorNames(), QList<QByteArray>{"Gota"});
}

#include "StudyTestSupport.h"
#include "store/StudyDocument.h"
#include "store/StudyInfoConversion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>

namespace {

QJsonObject parse(const QByteArray &text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text.constData();
    return document.object();
}

QByteArray compact(const QJsonObject &object) { return QJsonDocument(object).toJson(QJsonDocument::Compact); }

}  // namespace

TEST(StudyDocument, SmallStudyIsWrittenCompactInKeyOrderExactly) {
    std::unique_ptr<Study> study = smallStudy();
    auto echo = std::make_unique<EchoScoring>();
    echo->scoreRest[4] = 2;
    echo->scorePeak[4] = 3;
    echo->scorePost[16] = -1;
    study->setEchoScoring(std::move(echo));

    const QByteArray text = StudyDocument::serialise(*study);
    // The results object has one member per series; the forms of each kind are
    // checked below, the rest of the document here, byte for byte.
    const QByteArray results = compact(StudyDocument::toJson(*study).value("results").toObject());
    const QByteArray expected =
        R"({"echoScoring":{"scorePeak":[0,0,0,3,0,0,0,0,0,0,0,0,0,0,0,0],)"
        R"("scorePost":[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-1],"scoreRest":[0,0,0,2,0,0,0,0,0,0,0,0,0,0,0,0],)"
        R"("segments":["BasalAnteroSeptum","MidAnteroSeptum","BasalSeptum","MidSeptum","ApicalSeptum",)"
        R"("BasalInferior","MidInferior","ApicalInferior","BasalPosterior","MidPosterior","BasalLateral",)"
        R"("MidLateral","ApicalLateral","BasalAnterior","MidAnterior","ApicalAnterior"]},)"
        R"("events":[{"description":"ST depression","duration":10,"position":12.5,"print":false}],)"
        R"("patient":)" +
        smallPatientObjectText() + R"(,"results":)" + results + R"(,"study":)" + smallStudyObjectText() + "}";
    EXPECT_EQ(text, expected);

    for (const char *member :
         {R"("BPMTrend":{"timestamps":[1.5,3],"type":"trend","values":[72,75]})",
          R"("sysBPTrend":{"timestamps":[],"type":"trend","values":[]})",
          R"("METSPerStage":{"type":"valueArray","values":[0,4.25]})",
          R"j("STSlopePerStage(15)":{"type":"valueArray","values":[]})j", R"("maxBPM":{"type":"value","value":180})",
          R"("QRSAxis":{"type":"value","value":-999})", R"("measurementChannel":{"type":"value","value":-1})",
          R"("pacemakerPulses":{"type":"valueArray","values":[]})"})
        EXPECT_TRUE(results.contains(member)) << member;
    const QJsonObject resultsObject = parse(results);
    EXPECT_EQ(resultsObject.size(), study->results().size());
    for (const QString &name : study->results().names())
        EXPECT_TRUE(resultsObject.contains(name)) << name.toStdString();
}

TEST(StudyDocument, VeterinaryMembersAppearOnlyWhenOneOfThemHoldsText) {
    const struct {
        const char *species, *breed;
        bool written;
    } cases[] = {{"", "", false}, {"Canine", "", true}, {"", "Beagle", true}, {"Canine", "Beagle", true}};
    for (const auto &c : cases) {
        Study study(1);
        study.setProperty("patient/animalSpecies", c.species);
        study.setProperty("patient/animalBreed", c.breed);
        const QJsonObject patient = StudyDocument::patientObject(study);
        EXPECT_EQ(patient.contains("animalSpecies"), c.written) << c.species << "/" << c.breed;
        EXPECT_EQ(patient.contains("animalBreed"), c.written) << c.species << "/" << c.breed;

        QJsonObject document = StudyDocument::toJson(study);
        const std::unique_ptr<Study> read = StudyDocument::fromJson(document);
        ASSERT_TRUE(read);
        // Read back as properties that exist, empty or not.
        EXPECT_EQ(read->properties().count("patient/animalSpecies"), 1u);
        EXPECT_EQ(read->property("patient/animalSpecies"), c.species);
        EXPECT_EQ(read->property("patient/animalBreed"), c.breed);
    }
}

TEST(StudyDocument, ReadingIsTolerantOfMissingAndOddMembers) {
    using Check = std::function<void(const Study &)>;
    const struct {
        const char *name;
        QByteArray json;
        bool reads;
        Check check;
    } cases[] = {
        {"empty document", "{}", false, nullptr},
        {"empty study object", R"({"study":{},"patient":{"lastName":"Doe"}})", false, nullptr},
        {"study not an object", R"({"study":7})", false, nullptr},
        {"no study object", R"({"patient":{"lastName":"Doe"}})", false, nullptr},
        {"bare study: every text property set, empty", R"({"study":{"id":3}})", true,
         [](const Study &s) {
             EXPECT_EQ(s.id(), 3);
             EXPECT_EQ(s.properties().size(), 12u + 21u);
             for (const auto &p : s.properties()) EXPECT_EQ(p.second, "") << p.first.constData();
             EXPECT_EQ(s.studyDateTime(), "");
             EXPECT_EQ(s.eventCount(), 0);
             EXPECT_EQ(s.protocol(), nullptr);
             EXPECT_EQ(s.echoScoring(), nullptr);
             EXPECT_EQ(s.results().scalar(Result::QrsAxis), -999.0);
         }},
        {"id of the wrong type", R"({"study":{"id":"7","status":"report"}})", true,
         [](const Study &s) {
             EXPECT_EQ(s.id(), 0);
             EXPECT_EQ(s.property("status"), "report");
         }},
        {"events: print missing reads true, numbers missing read 0",
         R"({"study":{"id":1},"events":[{"description":"a","position":5,"duration":2},)"
         R"({"description":"b","print":false},{"print":true},7]})",
         true,
         [](const Study &s) {
             ASSERT_EQ(s.eventCount(), 4);
             EXPECT_TRUE(s.event(0).print);
             EXPECT_EQ(s.event(0).position, 5.0);
             EXPECT_EQ(s.event(0).duration, 2.0);
             EXPECT_FALSE(s.event(1).print);
             EXPECT_EQ(s.event(1).position, 0.0);
             EXPECT_TRUE(s.event(2).print);
             EXPECT_EQ(s.event(3).description, "");
             EXPECT_TRUE(s.event(3).print);
         }},
        {"echo: scores go to the segment the key names; unknown keys are skipped",
         R"({"study":{"id":1},"echoScoring":{"segments":["MidSeptum","Midseptum","ApicalAnterior"],)"
         R"("scoreRest":[2,5,7],"scorePeak":[3,5,8],"scorePost":[1,5]}})",
         true,
         [](const Study &s) {
             ASSERT_NE(s.echoScoring(), nullptr);
             const EchoScoring &e = *s.echoScoring();
             for (int i = 0; i <= 16; ++i) {
                 const qint32 rest = i == 4    ? 2
                                     : i == 16 ? 7
                                               : 0,
                              peak = i == 4    ? 3
                                     : i == 16 ? 8
                                               : 0,
                              post = i == 4 ? 1 : 0;
                 EXPECT_EQ(e.scoreRest[i], rest) << i;
                 EXPECT_EQ(e.scorePeak[i], peak) << i;
                 EXPECT_EQ(e.scorePost[i], post) << i;
             }
         }},
        {"echo: an empty object gives no scores", R"({"study":{"id":1},"echoScoring":{}})", true,
         [](const Study &s) { EXPECT_EQ(s.echoScoring(), nullptr); }},
        {"results: by name only, type ignored, short values padded, unknown dropped",
         R"({"study":{"id":1},"results":{"BPMTrend":{"type":"value","timestamps":[1,2,3],"values":[60,61]},)"
         R"("unknownSeries":{"type":"value","value":5},"maxBPM":{"value":170},"QRSAxis":{},)"
         R"("pacemakerPulses":{"values":[0.5,1.5]},"METSPerStage":{"type":"trend","values":[1,2,3]},)"
         R"("DPTrend":{"values":[9]},"maxDP":7}})",
         true,
         [](const Study &s) {
             const StudyResults &r = s.results();
             EXPECT_EQ(r.times(Result::BpmTrend), (std::vector<double>{1, 2, 3}));
             EXPECT_EQ(r.values(Result::BpmTrend), (std::vector<double>{60, 61, 0}));
             EXPECT_TRUE(r.values(Result::DpTrend).empty());
             EXPECT_EQ(r.scalar(Result::MaxBpm), 170.0);
             EXPECT_EQ(r.scalar(Result::QrsAxis), 0.0);
             EXPECT_EQ(r.scalar(Result::MaxDp), 0.0);
             EXPECT_EQ(r.values(Result::PacemakerPulses), (std::vector<double>{0.5, 1.5}));
             EXPECT_EQ(r.values(Result::MetsPerStage), (std::vector<double>{1, 2, 3}));
             EXPECT_FALSE(r.names().contains("unknownSeries"));
             EXPECT_FALSE(r.contains(Result::GlobalQt));
             EXPECT_FALSE(StudyDocument::serialise(s).contains("unknownSeries"));
         }},
        {"results: a global measurement series is read back only when written",
         R"({"study":{"id":1},"results":{"globalQTInterval":{"type":"value","value":0.41},"maxBPM":{"value":9}}})",
         true,
         [](const Study &s) {
             const StudyResults &r = s.results();
             EXPECT_EQ(r.scalar(Result::GlobalQt), 0.41);
             EXPECT_EQ(r.scalar(Result::MaxBpm), 9.0);
             EXPECT_EQ(r.size(), 96);
             EXPECT_FALSE(r.contains(Result::GlobalPAxis));
             const QByteArray json = StudyDocument::serialise(s);
             EXPECT_TRUE(json.contains(R"("globalQTInterval":{"type":"value","value":0.41})"));
             EXPECT_FALSE(json.contains("globalPAxis"));
         }},
        {"protocol: absent or empty stays absent", R"({"study":{"id":1},"protocol":{}})", true,
         [](const Study &s) { EXPECT_EQ(s.protocol(), nullptr); }},
        {"protocol: present is parsed",
         R"({"study":{"id":1},"protocol":{"name":"Ramp","type":"ergometer",)"
         R"("stages":[{"phase":"exercise","duration":60,"workload":50}]}})",
         true,
         [](const Study &s) {
             ASSERT_NE(s.protocol(), nullptr);
             EXPECT_EQ(s.protocol()->name, "Ramp");
             EXPECT_EQ(s.protocol()->type, ProtocolType::Ergometer);
             EXPECT_EQ(s.protocol()->stageCount(), 1);
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const std::unique_ptr<Study> study = StudyDocument::fromJson(parse(c.json));
        ASSERT_EQ(study != nullptr, c.reads);
        if (study && c.check) c.check(*study);
    }
}

TEST(StudyDocument, FullStudyReadsBackToTheSameDocumentAndValues) {
    const std::unique_ptr<Study> original = fullStudy();
    const QByteArray text = StudyDocument::serialise(*original);
    const std::unique_ptr<Study> read = StudyDocument::fromJson(parse(text));
    ASSERT_TRUE(read);
    EXPECT_EQ(StudyDocument::serialise(*read), text);

    EXPECT_EQ(read->properties(), original->properties());
    const StudyInfo a = infoFromStudy(*read), b = infoFromStudy(*original);
    EXPECT_EQ(a.riskFactors, b.riskFactors);
    EXPECT_EQ(a.recordingDateTime, "20240102030512");
    ASSERT_EQ(read->eventCount(), 3);
    EXPECT_EQ(read->event(1).position, 30.35);
    EXPECT_FALSE(read->event(1).print);
    for (int i = 0; i < original->results().size(); ++i) {
        const StudyResults::Series &x = read->results().at(i), &y = original->results().at(i);
        EXPECT_EQ(x.times, y.times) << x.name.toStdString();
        EXPECT_EQ(x.values, y.values) << x.name.toStdString();
    }
    ASSERT_TRUE(read->protocol() && read->echoScoring());
    EXPECT_EQ(read->protocol()->stageCount(), 3);
    EXPECT_EQ(read->echoScoring()->scorePost, original->echoScoring()->scorePost);
    EXPECT_EQ(read->echoScoring()->scorePeak, original->echoScoring()->scorePeak);
}

// The reviewer's findings in the study document: stored under their own
// members once set, absent (and the document unchanged) otherwise, and read
// back by name; unknown names read as not recorded.

#include "store/ExerciseFindings.h"
#include "store/StudyDocument.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

TEST(ExerciseFindings, DocumentRoundTrip) {
    struct Case {
        const char *name;
        std::optional<StopReason> reason;
        QString text;
        std::optional<Angina> angina;
        QStringList members;  // of "study" beyond the usual ones
    };
    const Case cases[] = {
        {"nothing recorded", std::nullopt, QString(), std::nullopt, {}},
        {"chest pain, limiting",
         StopReason::ChestPain,
         QStringLiteral("dolor opresivo, 4/10"),
         Angina::Limiting,
         {"angina", "stopReason", "stopReasonText"}},
        {"target reached, no angina", StopReason::TargetHeartRate, QString(), Angina::None, {"angina", "stopReason"}},
        {"other, text only",
         StopReason::Other,
         QStringLiteral("patient asked"),
         std::nullopt,
         {"stopReason", "stopReasonText"}},
    };
    Study plain(7);
    const QJsonObject plainStudy = StudyDocument::studyObject(plain);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Study study(7);
        ExerciseFindings::setStopReason(study, c.reason);
        ExerciseFindings::setStopReasonText(study, c.text);
        ExerciseFindings::setAngina(study, c.angina);
        const QJsonObject object = StudyDocument::studyObject(study);
        QStringList extra;
        for (const QString &key : object.keys())
            if (!plainStudy.contains(key)) extra << key;
        EXPECT_EQ(extra, c.members);
        const auto back = StudyDocument::fromJson(QJsonDocument::fromJson(StudyDocument::serialise(study)).object());
        ASSERT_TRUE(back);
        EXPECT_EQ(ExerciseFindings::stopReason(*back), c.reason);
        EXPECT_EQ(ExerciseFindings::stopReasonText(*back), c.text);
        EXPECT_EQ(ExerciseFindings::angina(*back), c.angina);
    }
}

TEST(ExerciseFindings, StoredNamesAreUniqueAndUnknownOnesReadAsNotRecorded) {
    QSet<QByteArray> names;
    for (StopReason r : ExerciseFindings::stopReasons()) {
        EXPECT_EQ(ExerciseFindings::stopReasonFromName(ExerciseFindings::storedName(r)), r);
        names.insert(ExerciseFindings::storedName(r));
    }
    EXPECT_EQ(names.size(), 9);
    EXPECT_FALSE(ExerciseFindings::stopReasonFromName("Fatigue")) << "names are case-sensitive";
    EXPECT_FALSE(ExerciseFindings::anginaFromName("severe"));
    EXPECT_EQ(ExerciseFindings::anginaIndex(Angina::None), 0);
    EXPECT_EQ(ExerciseFindings::anginaIndex(Angina::NonLimiting), 1);
    EXPECT_EQ(ExerciseFindings::anginaIndex(Angina::Limiting), 2);
}

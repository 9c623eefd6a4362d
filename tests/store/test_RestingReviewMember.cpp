// The resting review's kept automatic measurement in the study document:
// written only once set, so other documents keep their layout, and read back
// byte for byte.

#include "store/StudyDocument.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

TEST(RestingReviewMember, WrittenOnlyOnceSetAndReadBack) {
    const QByteArray kMember("automaticGlobalMeasurement");
    const QByteArray kept("globalQRSOnset=-0.046 globalQRSOffset=0.058 globalQRSAxis=-999");
    for (const QByteArray &value : {QByteArray(), kept}) {
        SCOPED_TRACE(value.toStdString());
        Study study(3);
        study.setProperty(kMember, value);
        const QJsonObject object = StudyDocument::studyObject(study);
        EXPECT_EQ(object.contains(QString::fromLatin1(kMember)), !value.isEmpty());
        const auto back = StudyDocument::fromJson(QJsonDocument::fromJson(StudyDocument::serialise(study)).object());
        ASSERT_TRUE(back);
        EXPECT_EQ(back->property(kMember), value);
    }
}

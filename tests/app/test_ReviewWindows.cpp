// The review window a stored study opens in follows its kind: a resting ECG
// (study type "ECG") the resting review, anything else the stress review;
// either opens on a study with no signal or beats recorded yet.

#include "app/ReviewWindows.h"
#include "store/StudyStore.h"
#include "ui/EcgReviewWindow.h"
#include "ui/StressReviewWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ReviewWindows, TheStudyKindChoosesTheWindow) {
    struct Case {
        const char *type;
        bool resting;
    };
    const Case cases[] = {{"ECG", true}, {"Stress", false}, {"", false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        QTemporaryDir dir;
        StudyStore store(dir.path());
        StudyInfo info;
        info.studyType = c.type;
        info.patientLastName = "Roe";
        info.patientFirstName = "Ana";
        info.samplingRate = 500;
        info.channelCount = 3;
        info.channelNames = "I,II,III";
        info.resolution = 16;
        info.gainMax = 300.0;
        Study *study = store.createStudy(info);
        ASSERT_NE(study, nullptr);
        QPointer<QWidget> window = ReviewWindows::open(*study, store, nullptr);
        ASSERT_FALSE(window.isNull());
        EXPECT_EQ(qobject_cast<EcgReviewWindow *>(window.data()) != nullptr, c.resting);
        EXPECT_EQ(qobject_cast<StressReviewWindow *>(window.data()) != nullptr, !c.resting);
        EXPECT_TRUE(window->testAttribute(Qt::WA_DeleteOnClose));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window.isNull());
        store.closeStudy(study);
    }
}

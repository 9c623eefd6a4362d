// The resting ECG monitor window as a technician drives it, on a scripted
// device fed from the demonstration recording: a take, a repeated take and
// what the saved study holds, the countdown and buttons, a failed disk, and
// leaving without saving.

#include "EcgMonitorWindowRig.h"
#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "stress/RestingRecording.h"

#include <QPushButton>
#include <QTest>

TEST(EcgMonitorWindow, OpensShowsTheLiveEcgAndClosesWithoutATake) {
    EcgMonitorWindowRig rig;
    if (!rig.hasRecording()) GTEST_SKIP() << "demonstration recording not built";
    rig.feed(2.0);
    rig.window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(rig.window.isNull());
    ASSERT_EQ(rig.finished->count(), 1);
    EXPECT_FALSE(rig.finished->at(0).at(0).toBool());
}

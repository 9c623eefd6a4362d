#include "tools/screenshots/ReviewScreenshots.h"

#include "store/ExerciseFindings.h"
#include "tools/screenshots/DemoSession.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/StressReviewWindow.h"

#include <QTabWidget>
#include <QTreeWidget>

namespace {

constexpr double kPixelsPerMm = 96.0 / 25.4;

}  // namespace

void recordDemoStressTest(DemoSession &session) {
    MonitorEngine &engine = session.engine();
    session.feed(4.0);
    session.start();
    session.feed(60.0);
    engine.addBloodPressure(120, 80, engine.recordedTime() - 10.0);
    session.nextStage();
    const int pressures[][2] = {{135, 82}, {150, 84}, {165, 85}};
    for (const auto &bp : pressures) {
        session.feed(120.0);
        engine.addBloodPressure(bp[0], bp[1], engine.recordedTime() - 10.0);
        if (&bp != &pressures[2]) session.nextStage();
    }
    engine.goToRecovery();
    session.feed(60.0);
    engine.addBloodPressure(140, 80, engine.recordedTime() - 10.0);
    session.feed(30.0);
    engine.stop();
    Study &study = session.study();
    study.setProperty("patient/age", "55");
    study.setProperty("patient/sex", "M");
    study.setProperty("conclusion", sample("Clinically and electrically negative test.",
                                           "Prueba clínica y eléctricamente negativa."));
    ExerciseFindings::setStopReason(study, StopReason::Fatigue);
    ExerciseFindings::setAngina(study, Angina::None);
}

namespace {

QImage stressReview() {
    DemoSession session(QStringLiteral(TARVELIN_DEMO_RECORDING));
    recordDemoStressTest(session);
    Study &study = session.study();

    StressReviewWindow window(study, session.store());
    window.findChild<QSignalBrowseDisplay *>(QStringLiteral("ecgDisplay1"))->setPixelsPerMm(kPixelsPerMm);
    window.resize(1600, 900);
    window.show();
    auto *stages = window.findChild<QTreeWidget *>(QStringLiteral("treeProtocol"));
    stages->setCurrentItem(stages->topLevelItem(3));
    window.refreshPosition();
    window.refreshStReading();
    return window.grab().toImage();
}

}  // namespace

void addReviewScreenshots(ScreenshotList &list) { list.push_back({QStringLiteral("stress-review"), stressReview}); }

#include "tools/screenshots/ReviewScreenshots.h"

#include "store/ExerciseFindings.h"
#include "store/StudyStore.h"
#include "tools/cli/InputLoader.h"
#include "tools/cli/RestingStudy.h"
#include "tools/screenshots/DemoSession.h"
#include "ui/EcgReviewWindow.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/StressReviewWindow.h"

#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <memory>
#include <stdexcept>

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

// The first 10 s of the demonstration recording stored as a resting ECG, as
// `tarvelin-ecg-cli resting` stores it, reviewed with lead II measured.
QImage restingReview() {
    const BeatsOptions options =
        BeatsOptions::parse({"--raw", QStringLiteral(TARVELIN_DEMO_RECORDING), "--rate", "500", "--channels", "14"});
    LoadedInput input;
    QString error;
    if (!options.error.isEmpty() || !InputLoader::load(options, &input, &error))
        throw std::runtime_error("demonstration recording unreadable: " + error.toStdString());
    RestingStudy::keepFirstSeconds(input.recording, RestingStudy::kDefaultSeconds);
    QTemporaryDir dir;
    StudyStore store(dir.filePath(QStringLiteral("store")));
    StudyInfo info;
    info.studyDateTime = "20261208093000";
    info.patientLastName = "Doe";
    info.patientFirstName = "Jane";
    info.patientAge = "61";
    info.patientSex = "F";
    info.conclusion = "Sinus rhythm, normal axis, normal intervals.";
    Study *study = RestingStudy::create(store, input.recording, info);
    QImage image;
    {
        EcgReviewWindow window(*study, store);
        window.findChild<QSignalBrowseDisplay *>(QStringLiteral("ecgDisplay1"))->setPixelsPerMm(kPixelsPerMm);
        window.resize(1600, 900);
        window.show();
        image = window.grab().toImage();
    }
    store.closeStudy(study);
    return image;
}

}  // namespace

void addReviewScreenshots(ScreenshotList &list) {
    list.push_back({QStringLiteral("stress-review"), stressReview});
    list.push_back({QStringLiteral("ecg-review"), restingReview});
}

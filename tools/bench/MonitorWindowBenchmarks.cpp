// What the stress monitor window costs the machine in a real test: the
// demonstration replay in real time through the driver, the engine recording
// into a study, and the window painting two panels at 25 mm/s with the
// average-beat insets, offscreen at full-HD size; the CPU time of the whole
// process over 20 s as a percentage of one core.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "acquisition/ReplayDevice.h"
#include "analysis/ChannelTable.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorSession.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui/StressMonitorWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QEventLoop>
#include <exception>
#include "stress/MonitorEngine.h"
#include <memory>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;
constexpr double kPixelsPerMm = 96.0 / 25.4;
constexpr int kWarmUpMs = 2000;
constexpr int kMeasuredMs = 20000;

// A real event loop, idle between events as the application's is.
void runEvents(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

BenchResult monitorWindowCpu() {
    try {
        QTemporaryDir dir;
        StudyStore store(dir.path());
        StudyInfo info = frontEndRecordingInfo(kRate);
        info.patientLastName = "Bench";
        Study *study = store.createStudy(info);
        StressRun::Plan plan;
        Protocol bruce;
        store.protocol(QStringLiteral("Bruce"), bruce);
        plan.stages = bruce;
        auto device = std::make_unique<ReplayDevice>(demoRecordingPath(), kChannels, kRate, 2, 16, 300.0, 0, -1);
        StressMonitorConfig config;
        config.simulated = true;
        StressMonitorWindow window(std::make_unique<MonitorSession>(std::move(device)), *study, plan, &store, config);
        for (QSignalMonitorDisplay *display : window.findChildren<QSignalMonitorDisplay *>())
            display->setPixelsPerMm(kPixelsPerMm);
        window.resize(1920, 1080);
        window.show();
        window.findChild<QPushButton *>(QStringLiteral("btnStart"))->click();
        runEvents(kWarmUpMs);
        const double cpuStart = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEvents(kMeasuredMs);
        const double cpu = cpuSeconds() - cpuStart;
        // A replay that stalled would make the figure meaningless.
        if (window.session().engine().recordedTime() < (kWarmUpMs + kMeasuredMs) / 1000.0 * 0.9) return {0.0, "%"};
        return {100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0), "%"};
    } catch (const std::exception &) {
        return {0.0, "%"};
    }
}

}  // namespace

std::vector<Benchmark> monitorWindowBenchmarks() { return {{"monitor-window-cpu-demo", monitorWindowCpu}}; }

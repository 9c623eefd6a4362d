// The stress review window on a 30-minute test recorded through the real
// engine from the demonstration recording: from the store to the window's
// first paint, and one page step of its browse display with the review
// chain (with what follows the position: trend cursors, information frames,
// ST reading, each painted as the event loop paints them), offscreen at
// full-HD size. Medians of the process's CPU time, so a machine busy with
// other work does not inflate them.

#include "BenchClock.h"
#include "Benchmarks.h"
#include "analysis/ChannelTable.h"
#include "analysis/MonitorFeeds.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "ui/QSignalBrowseDisplay.h"
#include "ui/StressReviewWindow.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <exception>
#include <memory>
#include <vector>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;
constexpr double kPixelsPerMm = 96.0 / 25.4;
constexpr int kMinutes = 30;
constexpr int kOpenRuns = 5;
constexpr int kPageSteps = 40;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A Bruce test of 30 minutes, recovery from minute 25, a pressure per stage.
struct RecordedTest {
    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    qint32 id = 0;

    RecordedTest() {
        QFile demo(QStringLiteral(TARVELIN_DEMO_RECORDING));
        if (!demo.open(QIODevice::ReadOnly)) throw std::runtime_error("demonstration recording missing");
        const QByteArray signal = demo.readAll();
        store = std::make_unique<StudyStore>(folder.path());
        StudyInfo info = frontEndRecordingInfo(kRate);
        info.patientLastName = "Bench";
        info.patientAge = "55";
        info.patientSex = "M";
        Study *study = store->createStudy(info);
        id = study->id();
        Protocol bruce;
        store->protocol(QStringLiteral("Bruce"), bruce);
        MonitorEngine::SignalFormat format;
        format.channelCount = kChannels;
        format.samplingRate = kRate;
        format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
        MonitorEngine engine(format, true);
        engine.feeds().configureLiveChain(true, true, true);
        StressRun::Plan plan;
        plan.stages = bruce;
        engine.prepareRun(*study, plan, store.get());
        engine.start("20261208101500");
        const int frameBytes = kChannels * 2;
        const std::int64_t available = signal.size() / frameBytes;
        const std::int64_t total = std::int64_t(kMinutes) * 60 * kRate;
        constexpr int kBlock = kRate / 50;
        for (std::int64_t fed = 0; fed < total;) {
            const std::int64_t at = fed % available;
            const int frames = static_cast<int>(std::min<std::int64_t>(kBlock, available - at));
            engine.raw().appendInterleaved16(signal.constData() + at * frameBytes, frames * frameBytes);
            const std::int64_t before = fed;
            fed += frames;
            engine.processBlock();
            if (fed / (150 * kRate) != before / (150 * kRate))
                engine.addBloodPressure(120 + static_cast<int>(fed / (150 * kRate)) * 4, 80,
                                        engine.recordedTime() - 1.0);
            if (before < 25 * 60 * kRate && fed >= 25 * 60 * kRate) engine.goToRecovery();
        }
        engine.stop();
        store->saveStudy(*study);
        store->closeStudy(study);
    }
};

RecordedTest &recordedTest() {
    static RecordedTest test;
    return test;
}

std::unique_ptr<StressReviewWindow> openWindow(RecordedTest &test, Study **study) {
    *study = test.store->openStudy(test.id);
    if (!*study) throw std::runtime_error("study not opened");
    auto window = std::make_unique<StressReviewWindow>(**study, *test.store);
    window->findChild<QSignalBrowseDisplay *>(QStringLiteral("ecgDisplay1"))->setPixelsPerMm(kPixelsPerMm);
    window->resize(1920, 1080);
    window->show();
    return window;
}

BenchResult reviewOpen() {
    try {
        RecordedTest &test = recordedTest();
        std::vector<double> ms;
        for (int run = 0; run < kOpenRuns; ++run) {
            const double start = cpuSeconds();
            Study *study = nullptr;
            auto window = openWindow(test, &study);
            // grab() paints the whole window once, as its first show does.
            const QImage painted = window->grab().toImage();
            ms.push_back((cpuSeconds() - start) * 1e3);
            window.reset();
            test.store->closeStudy(study);
            if (painted.isNull()) return {-1.0, "ms"};
        }
        return {median(ms), "ms"};
    } catch (const std::exception &) {
        return {-1.0, "ms"};
    }
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

BenchResult reviewScroll() {
    try {
        RecordedTest &test = recordedTest();
        Study *study = nullptr;
        auto window = openWindow(test, &study);
        auto *display = window->findChild<QSignalBrowseDisplay *>(QStringLiteral("ecgDisplay1"));
        PaintCounter counter;
        display->installEventFilter(&counter);
        QApplication::processEvents();
        std::vector<double> ms;
        display->setStartTime(5 * 60.0);
        QApplication::processEvents();
        for (int step = 0; step < kPageSteps; ++step) {
            const int paints = counter.paints;
            const double start = cpuSeconds();
            display->setStartTime(display->startTime() + display->pageSeconds());
            // The event loop paints what changed: the page, the trends'
            // cursors, the information frames.
            QApplication::processEvents();
            ms.push_back((cpuSeconds() - start) * 1e3);
            // A step the display did not paint measured nothing.
            if (counter.paints == paints) return {-1.0, "ms"};
        }
        window.reset();
        test.store->closeStudy(study);
        return {median(ms), "ms"};
    } catch (const std::exception &) {
        return {-1.0, "ms"};
    }
}

}  // namespace

std::vector<Benchmark> reviewWindowBenchmarks() {
    return {{"review-open-30min", reviewOpen}, {"review-scroll-12ch", reviewScroll}};
}

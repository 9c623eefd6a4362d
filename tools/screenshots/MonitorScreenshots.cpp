#include "tools/screenshots/MonitorScreenshots.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/ByteFifo.h"
#include "analysis/ChannelTable.h"
#include "store/StudyInfoConversion.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/RestingRecording.h"
#include "ui/BPDialog.h"
#include "ui/EcgMonitorWindow.h"
#include "ui/QSignalMonitorDisplay.h"
#include "ui/StressMonitorWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kChannels = 14;
constexpr int kRate = 500;
constexpr double kPixelsPerMm = 96.0 / 25.4;
constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// The front end as the window sees it, holding whatever the scene pushes:
// the recording arrives as fast as the engine takes it, not in real time.
class PushedDevice : public AcqDevice {
public:
    void start() override {}
    bool isOk() const override { return true; }
    int bytesAvailable() const override { return fifo.size(); }
    int read(char *destination, int length) override { return fifo.read(destination, length); }
    bool channelSaturated(int) const override { return false; }
    bool electrodeOff(const QString &) const override { return false; }
    void stop() override {}
    QString errorString() const override { return QString(); }
    double batteryVoltage() const override { return 0.0; }
    int channelCount() const override { return kChannels; }
    QString channelName(int index) const override {
        return ChannelTable::maskedNames(ChannelTable::kAllChannelsMask).value(index);
    }
    int samplingRate() const override { return kRate; }
    int bytesPerSample() const override { return 2; }
    int resolutionBits() const override { return 16; }
    double amplitudeMin() const override { return -300.0; }
    double amplitudeMax() const override { return 300.0; }
    void setAmplitudeRange(double) override {}

    ByteFifo fifo;
};

// The demonstration recording pushed into the device as fast as the
// engine takes it, in half-second pieces, with the window's clock ticking
// every second of signal; and the study of a temporary store it goes into.
class DemoFeed {
public:
    DemoFeed() {
        QFile file(QStringLiteral(TARVELIN_DEMO_RECORDING));
        if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open file");
        recording_ = file.readAll();
        if (recording_.size() < kChannels * 2 * kRate) throw std::runtime_error("Cannot open file");
        store_ = std::make_unique<StudyStore>(folder_.path());
        StudyInfo info = frontEndRecordingInfo(kRate);
        info.patientLastName = "Demo";
        info.patientFirstName = sample("Patient", "Paciente");
        info.patientWeight = "80";
        study_ = store_->createStudy(info);
    }

    std::unique_ptr<MonitorSession> session() {
        auto device = std::make_unique<PushedDevice>();
        device_ = device.get();
        return std::make_unique<MonitorSession>(std::move(device));
    }
    StudyStore &store() { return *store_; }
    Study &study() { return *study_; }

    void feed(double seconds, MonitorEngine &engine, const std::function<void()> &tick) {
        const int frame = kChannels * 2;
        const std::int64_t available = recording_.size() / frame;
        const std::int64_t end = fed_ + static_cast<std::int64_t>(seconds * kRate);
        while (fed_ < end) {
            const std::int64_t at = fed_ % available;
            const int frames = static_cast<int>(std::min<std::int64_t>({kRate / 2, available - at, end - fed_}));
            device_->fifo.append(recording_.constData() + at * frame, frames * frame);
            fed_ += frames;
            QElapsedTimer waited;
            waited.start();
            while (engine.raw().length() < fed_ - kRate / 10 && waited.elapsed() < 10000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
                QThread::msleep(1);
            }
            // What the window's clock shows every second.
            if (fed_ / kRate != (fed_ - frames) / kRate) tick();
        }
    }

private:
    QByteArray recording_;
    QTemporaryDir folder_;
    std::unique_ptr<StudyStore> store_;
    Study *study_ = nullptr;
    PushedDevice *device_ = nullptr;
    std::int64_t fed_ = 0;
};

void showAtScale(QMainWindow &window) {
    for (QSignalMonitorDisplay *display : window.findChildren<QSignalMonitorDisplay *>())
        display->setPixelsPerMm(kPixelsPerMm);
    window.resize(kWidth, kHeight);
    window.show();
}

class MonitorScene {
public:
    MonitorScene() {
        feed_.study().setProperty("patient/trainingZoneMax", "170");
        feed_.study().setProperty("patient/trainingZoneSubMax", "145");
        StressRun::Plan plan;
        Protocol bruce;
        feed_.store().protocol(QStringLiteral("Bruce"), bruce);
        plan.stages = bruce;
        StressMonitorConfig config;
        config.simulated = true;
        window_ = std::make_unique<StressMonitorWindow>(feed_.session(), feed_.study(), plan, &feed_.store(), config);
        showAtScale(*window_);
    }
    ~MonitorScene() {
        if (BPDialog *dialog = window_->bloodPressurePrompt()) dialog->reject();
        window_.reset();
    }

    void feed(double seconds) {
        feed_.feed(seconds, window_->session().engine(), [this] { window_->tick(); });
    }
    void click(const char *button) { window_->findChild<QPushButton *>(QLatin1String(button))->click(); }
    void answerPrompt(const char *sbp, const char *dbp) {
        BPDialog *dialog = window_->bloodPressurePrompt();
        if (!dialog) throw std::runtime_error("No blood-pressure prompt");
        dialog->findChild<QLineEdit *>(QStringLiteral("txtSBP"))->setText(QLatin1String(sbp));
        dialog->findChild<QLineEdit *>(QStringLiteral("txtDBP"))->setText(QLatin1String(dbp));
        dialog->accept();
    }
    QImage picture() {
        window_->tick();
        QImage image = window_->grab().toImage();
        if (BPDialog *dialog = window_->bloodPressurePrompt()) {
            QPainter painter(&image);
            const QImage prompt = dialog->grab().toImage();
            painter.drawImage((image.width() - prompt.width()) / 2, (image.height() - prompt.height()) / 3, prompt);
        }
        return image;
    }

private:
    DemoFeed feed_;
    std::unique_ptr<StressMonitorWindow> window_;
};

QImage atRest() {
    MonitorScene scene;
    scene.feed(12.0);
    return scene.picture();
}

// Rest, two exercise stages with their pressures, into the third.
void runIntoExercise(MonitorScene &scene) {
    scene.feed(4.0);
    scene.click("btnStart");
    scene.feed(40.0);
    scene.click("btnNext");
    scene.answerPrompt("125", "80");
    scene.feed(170.0);  // the end-of-stage prompt opens 15 s before the end
    scene.answerPrompt("145", "85");
    scene.feed(15.0);  // the stage timer moves on
    scene.feed(170.0);
    scene.answerPrompt("160", "85");
    scene.feed(25.0);
}

QImage inExercise() {
    MonitorScene scene;
    runIntoExercise(scene);
    return scene.picture();
}

QImage withPrompt() {
    MonitorScene scene;
    runIntoExercise(scene);
    scene.click("btnNext");
    return scene.picture();
}

// A resting ECG just taken: the 10-second take ended by itself and its
// measurements are shown, the live ECG sweeping on.
QImage restingRecorded() {
    DemoFeed feed;
    EcgMonitorConfig config;
    config.simulated = true;
    EcgMonitorWindow window(feed.session(), feed.study(), &feed.store(), config);
    showAtScale(window);
    MonitorEngine &engine = window.session().engine();
    const auto tick = [&window] { window.tick(); };
    feed.feed(4.0, engine, tick);
    window.findChild<QPushButton *>(QStringLiteral("btnStartRecording"))->click();
    feed.feed(13.0, engine, tick);
    if (window.recording().state() != RestingRecording::State::Recorded)
        throw std::runtime_error("The take did not end by itself");
    window.tick();
    return window.grab().toImage();
}

}  // namespace

void addMonitorScreenshots(ScreenshotList &list) {
    list.push_back({QStringLiteral("stress-monitor-rest"), atRest});
    list.push_back({QStringLiteral("stress-monitor-exercise"), inExercise});
    list.push_back({QStringLiteral("stress-monitor-bp-prompt"), withPrompt});
    list.push_back({QStringLiteral("resting-monitor-recorded"), restingRecorded});
}

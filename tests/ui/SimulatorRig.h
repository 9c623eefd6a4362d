#pragma once
// The simulators on pseudo-terminals for the window tests: a front end or a
// treadmill played by tarvelin-ecg-sim, and a stress monitor window on the
// real link device and driver reading from the simulated front end.

#include "MonitorWindowRig.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/SerialLinkDevice.h"
#include "ui/MonitorIndicators.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

// One simulator process: "device" (the front end) or "kipnet" (a treadmill).
// It prints its terminal's path first, then whatever it logs; a treadmill
// logs every command it received, one a line.
class SimulatorProcess {
public:
    SimulatorProcess(const QString &mode, const QString &link, const QStringList &options = {}) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE),
                       QStringList{mode, QStringLiteral("--link"), link} + options);
        process_.waitForStarted(10000);
        while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
        if (process_.canReadLine()) process_.readLine();
        ready_ = QFileInfo(link).isSymLink();
    }
    ~SimulatorProcess() {
        process_.terminate();
        if (!process_.waitForFinished(10000)) process_.kill();
        process_.waitForFinished();
    }
    SimulatorProcess(const SimulatorProcess &) = delete;
    SimulatorProcess &operator=(const SimulatorProcess &) = delete;

    bool isReady() const { return ready_; }

    // Every line printed after the path so far.
    QStringList lines() {
        while (process_.canReadLine()) lines_ << QString::fromLatin1(process_.readLine()).trimmed();
        return lines_;
    }

    // Ends it as a pulled cable or a crash would: no goodbye on the link.
    void kill() {
        process_.kill();
        process_.waitForFinished(10000);
    }

private:
    QProcess process_;
    QStringList lines_;
    bool ready_ = false;
};

// A stress monitor window recording from `tarvelin-ecg-sim device` through
// the configured Bluetooth port, as the launcher creates it.
struct LinkMonitorRig {
    // The reader gives up on a silent link after 4 s instead of 10 s, so a
    // reconnection fits in a short test; the session's 2 s of silence still
    // come well before.
    static constexpr int kReadTimeoutMs = 4000;

    QTemporaryDir folder;
    QString link;  // the configured port: a link to the simulator's terminal
    std::unique_ptr<SimulatorProcess> frontEnd;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    QPointer<StressMonitorWindow> window;

    explicit LinkMonitorRig(const QStringList &simulatorOptions, std::optional<Protocol> protocol = std::nullopt) {
        link = folder.filePath(QStringLiteral("ecg"));
        frontEnd = std::make_unique<SimulatorProcess>(QStringLiteral("device"), link, simulatorOptions);
        if (!frontEnd->isReady()) return;
        AcqSettings settings;
        settings.mode = QString::fromLatin1(AcqDeviceFactory::kBluetoothMode);
        settings.bluetoothPort = link;
        std::unique_ptr<AcqDevice> device = AcqDeviceFactory::createDevice(settings, false, {});
        if (auto *serial = dynamic_cast<SerialLinkDevice *>(device.get())) serial->setReadTimeoutMs(kReadTimeoutMs);

        QDir().mkpath(folder.filePath(QStringLiteral("store")));
        store = std::make_unique<StudyStore>(folder.filePath(QStringLiteral("store")));
        StudyInfo info = studyInfoFor(*device);
        study = store->createStudy(info);
        StressRun::Plan plan;
        if (!protocol) {
            protocol.emplace();
            store->protocol(QStringLiteral("Bruce"), *protocol);
        }
        plan.stages = protocol;
        auto session = std::make_unique<MonitorSession>(std::move(device));
        window = new StressMonitorWindow(std::move(session), *study, plan, store.get(), StressMonitorConfig{});
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(1280, 800);
        window->show();
    }
    ~LinkMonitorRig() { delete window.data(); }

    bool isReady() const { return window != nullptr; }
    MonitorEngine &engine() const { return window->session().engine(); }
    MonitorIndicators &indicators() const { return window->indicators(); }
    std::int64_t signalFrames() const { return engine().raw().length(); }

    // Waits until `seconds` more of signal than now have arrived.
    bool waitForSignal(double seconds, int timeoutMs = 40000) const {
        const std::int64_t target = signalFrames() + static_cast<std::int64_t>(seconds * engine().raw().samplingRate());
        return waitUntil([&] { return signalFrames() >= target; }, timeoutMs);
    }

    // Waits with the window's clock running every 100 ms, whatever the
    // load on the machine does to its timer.
    bool waitTicking(const std::function<bool()> &done, int timeoutMs = 20000) const {
        QElapsedTimer sinceTick;
        sinceTick.start();
        return waitUntil(
            [&] {
                if (sinceTick.elapsed() >= 100) {
                    window->tick();
                    sinceTick.restart();
                }
                return done();
            },
            timeoutMs);
    }

    // True once no signal arrived for `quietMs`.
    bool waitForSilence(int quietMs, int timeoutMs = 20000) const {
        QElapsedTimer total;
        total.start();
        while (total.elapsed() < timeoutMs) {
            const std::int64_t before = signalFrames();
            if (!waitTicking([&] { return signalFrames() != before; }, quietMs)) return true;
        }
        return false;
    }

    template <typename T>
    T *child(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }

private:
    static StudyInfo studyInfoFor(const AcqDevice &device) {
        StudyInfo info;
        info.studyType = "stress";
        info.samplingRate = device.samplingRate();
        info.channelCount = device.channelCount();
        info.resolution = device.resolutionBits();
        info.gainMax = device.amplitudeMax();
        QStringList names;
        for (int i = 0; i < device.channelCount(); ++i) names << device.channelName(i);
        info.channelNames = names.join(',').toUtf8();
        info.patientLastName = "Doe";
        info.patientFirstName = "Jane";
        info.patientWeight = "70";
        return info;
    }
};

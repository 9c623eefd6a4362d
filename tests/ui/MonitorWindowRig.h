#pragma once
// A stress monitor window on a scripted device fed from the demonstration
// recording as fast as the test asks, recording into a study of a
// temporary store.

#include "analysis/ChannelTable.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorSession.h"
#include "stress/ScriptedDevice.h"
#include "ui/StressMonitorWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <optional>
#include <gtest/gtest.h>

inline bool waitUntil(const std::function<bool()> &done, int timeoutMs = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

constexpr int kDemoRate = 500;
constexpr int kDemoFileChannels = 14;

// Pushes `seconds` of the demonstration `recording` (its first `channels`
// leads, looping) into the device from frame `fedFrames` on, and waits until
// `engine` has processed them; `fedFrames` advances.
inline void feedDemoRecording(ScriptedDevice &device, const QByteArray &recording, int channels, double seconds,
                              std::int64_t &fedFrames, MonitorEngine &engine) {
    const int fileFrame = kDemoFileChannels * 2;
    const std::int64_t available = recording.size() / fileFrame;
    const std::int64_t frames = static_cast<std::int64_t>(seconds * kDemoRate);
    QByteArray bytes;
    bytes.reserve(static_cast<int>(frames * channels * 2));
    for (std::int64_t f = 0; f < frames; ++f)
        bytes.append(recording.constData() + ((fedFrames + f) % available) * fileFrame, channels * 2);
    // Pushed in half-second pieces, as a device delivers.
    for (int at = 0; at < bytes.size(); at += kDemoRate * channels)
        device.fifo.append(bytes.constData() + at, std::min(kDemoRate * channels, bytes.size() - at));
    fedFrames += frames;
    // The last few frames stay in the queue until more arrive.
    ASSERT_TRUE(waitUntil([&] { return engine.raw().length() >= fedFrames - kDemoRate / 10; }));
}

struct MonitorWindowRig {
    static constexpr int kRate = kDemoRate;
    static constexpr int kFileChannels = kDemoFileChannels;

    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    ScriptedDevice *device = nullptr;
    QPointer<StressMonitorWindow> window;
    QByteArray recording;
    std::int64_t fedFrames = 0;
    int channels;

    // A ramp, when given, is run instead of a stage protocol.
    explicit MonitorWindowRig(int channelCount = 14, std::optional<Protocol> protocol = std::nullopt,
                              EquipmentController *equipment = nullptr, std::optional<RampProtocol> ramp = std::nullopt)
        : channels(channelCount) {
        QFile file(QStringLiteral(TARVELIN_DEMO_RECORDING));
        if (file.open(QIODevice::ReadOnly)) recording = file.readAll();
        store = std::make_unique<StudyStore>(folder.path());
        auto owned = std::make_unique<ScriptedDevice>(channels, kRate);
        device = owned.get();
        StudyInfo info;
        info.samplingRate = kRate;
        info.channelCount = channels;
        QStringList names;
        for (int i = 0; i < channels; ++i) names << device->channelName(i);
        info.channelNames = names.join(',').toUtf8();
        info.resolution = 16;
        info.gainMax = 300.0;
        info.patientLastName = "Doe";
        info.patientFirstName = "Jane";
        info.patientWeight = "70";
        study = store->createStudy(info);
        StressRun::Plan plan;
        if (!protocol && !ramp) {
            protocol.emplace();
            store->protocol(QStringLiteral("Bruce"), *protocol);
        }
        plan.stages = protocol;
        plan.ramp = ramp;
        plan.equipment = equipment;
        auto session = std::make_unique<MonitorSession>(std::move(owned));
        window = new StressMonitorWindow(std::move(session), *study, plan, store.get(), StressMonitorConfig{});
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(1280, 800);
        window->show();
    }
    ~MonitorWindowRig() { delete window.data(); }

    bool hasRecording() const { return recording.size() >= kFileChannels * 2 * kRate; }

    // Pushes `seconds` of the recording (its first `channels` leads) and
    // waits until the engine has processed them.
    void feed(double seconds) {
        feedDemoRecording(*device, recording, channels, seconds, fedFrames, window->session().engine());
    }
    MonitorEngine &engine() const { return window->session().engine(); }
    template <typename T>
    T *child(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }
};

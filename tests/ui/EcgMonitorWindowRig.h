#pragma once
// A resting ECG monitor window on a scripted device fed from the
// demonstration recording as fast as the test asks, recording into a study
// of a temporary store; tells how the window finished.

#include "MonitorWindowRig.h"
#include "ui/EcgMonitorWindow.h"

#include <QSignalSpy>

struct EcgMonitorWindowRig {
    QTemporaryDir folder;
    std::unique_ptr<StudyStore> store;
    Study *study = nullptr;
    ScriptedDevice *device = nullptr;
    QPointer<EcgMonitorWindow> window;
    std::unique_ptr<QSignalSpy> finished;
    QByteArray recording;
    std::int64_t fedFrames = 0;
    int channels = kDemoFileChannels;

    explicit EcgMonitorWindowRig(EcgMonitorConfig config = EcgMonitorConfig{}) {
        QFile file(QStringLiteral(TARVELIN_DEMO_RECORDING));
        if (file.open(QIODevice::ReadOnly)) recording = file.readAll();
        store = std::make_unique<StudyStore>(folder.path());
        auto owned = std::make_unique<ScriptedDevice>(channels, kDemoRate);
        device = owned.get();
        StudyInfo info;
        info.samplingRate = kDemoRate;
        info.channelCount = channels;
        QStringList names;
        for (int i = 0; i < channels; ++i) names << device->channelName(i);
        info.channelNames = names.join(',').toUtf8();
        info.resolution = 16;
        info.gainMax = 300.0;
        info.patientLastName = "Doe";
        info.patientFirstName = "John";
        study = store->createStudy(info);
        window = new EcgMonitorWindow(std::make_unique<MonitorSession>(std::move(owned)), *study, store.get(), config);
        finished = std::make_unique<QSignalSpy>(window.data(), &EcgMonitorWindow::recordingFinished);
        window->resize(1280, 800);
        window->show();
    }
    ~EcgMonitorWindowRig() { delete window.data(); }

    bool hasRecording() const { return recording.size() >= kDemoFileChannels * 2 * kDemoRate; }
    void feed(double seconds) { feedDemoRecording(*device, recording, channels, seconds, fedFrames, engine()); }
    MonitorEngine &engine() const { return window->session().engine(); }
    // Sample `channel` of live frame `frame` as the device sent it.
    std::int16_t demoSample(int channel, std::int64_t frame) const {
        const int fileFrame = kDemoFileChannels * 2;
        const std::int64_t at = (frame % (recording.size() / fileFrame)) * fileFrame + channel * 2;
        return qFromLittleEndian<qint16>(recording.constData() + at);
    }
    template <typename T>
    T *child(const char *name) const {
        return window->findChild<T *>(QLatin1String(name));
    }
};

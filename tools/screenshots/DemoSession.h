#pragma once
// A stress test run through the real monitoring engine on the demonstration
// recording, as the monitor window runs one: Start after a few seconds, the
// second stage (and the ST reference) later, into a study of a temporary
// store. The screenshots of the displays are taken from it.

#include "analysis/BeatRecord.h"
#include "store/StudyStore.h"
#include "stress/MonitorEngine.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

class DemoSession {
public:
    static constexpr int kChannels = 14;
    static constexpr int kRate = 500;

    // Throws std::runtime_error when the recording cannot be read.
    explicit DemoSession(const QString &recordingPath);
    ~DemoSession();

    // Feeds `seconds` of the recording in 20 ms blocks, as the driver
    // delivers them, calling `afterBlock` after each processed block.
    void feed(double seconds, const std::function<void()> &afterBlock = nullptr);

    // Start and Next stage, as the monitor window's buttons call them.
    void start();
    void nextStage() { engine_->nextStage(); }

    MonitorEngine &engine() { return *engine_; }
    Study &study() { return *study_; }
    StudyStore &store() { return *store_; }
    // Beats found after Start, with their times in seconds of the recording.
    const std::vector<BeatRecord> &recordedBeats() const { return recordedBeats_; }

private:
    class BeatLog;

    QByteArray signal_;
    QTemporaryDir folder_;
    std::unique_ptr<StudyStore> store_;
    Study *study_ = nullptr;
    std::unique_ptr<MonitorEngine> engine_;
    std::unique_ptr<BeatLog> log_;
    std::vector<BeatRecord> recordedBeats_;
    std::int64_t fedFrames_ = 0;
    std::int64_t startFrame_ = 0;
};

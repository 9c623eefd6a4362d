#pragma once
// Writes a running test to the study's files as it arrives: the live samples
// from the start offset on into the recording, each beat into the beat file,
// and says once per file when the disk refused a write.

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class SignalSource;
class Study;
struct BeatRecord;

class StudyRecorder {
public:
    // `live` is the device-rate signal; both must outlive the recorder.
    // `report` receives the failure text.
    StudyRecorder(Study &study, const SignalSource &live, std::function<void(const QString &)> report);

    static QString failureText(const QString &reason);

    // Recording begins at live sample `liveOffset`.
    void start(std::int64_t liveOffset);
    std::int64_t startOffset() const { return startOffset_; }
    double startSeconds() const;
    // Seconds of signal in the study's recording.
    double recordedSeconds() const;
    // Seconds of the test so far: the live signal handed to the recording
    // since the start, whether or not the disk took it. The test's clock, so
    // a failing disk does not stop the stages, the prompts and the treadmill.
    double elapsedSeconds() const;

    // At most `samples` samples are recorded (0: no limit), so a recording of
    // fixed length holds exactly that length whatever blocks arrived.
    void setLimit(std::int64_t samples) { limit_ = samples; }
    std::int64_t limit() const { return limit_; }
    // The limit was reached.
    bool full() const;
    // Whether recorded time `seconds` lies within the limit.
    bool withinLimit(double seconds) const;

    // Empties the recording and the beat file for a new take at time 0; a
    // failure is reported again after it. Throws std::runtime_error with the
    // failure text when either file could not be emptied.
    void discard();

    // Appends every live sample not yet in the recording. Samples a failed
    // write left out are tried again with the next block.
    void recordNewSamples();
    // `beat` with its times already relative to the recording start.
    void recordBeat(const BeatRecord &beat);

    // `beat` with every time moved `seconds` earlier (spans unchanged).
    static BeatRecord shifted(const BeatRecord &beat, double seconds);

private:
    void checkSignal();

    Study &study_;
    const SignalSource &live_;
    std::function<void(const QString &)> report_;
    std::int64_t startOffset_ = 0;
    std::int64_t elapsedFrames_ = 0;
    std::int64_t limit_ = 0;
    bool signalFailureReported_ = false;
    bool beatFailureReported_ = false;
    std::vector<std::vector<double>> chunk_;
    std::vector<const double *> rows_;
};

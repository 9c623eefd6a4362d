#pragma once
// The live monitoring engine of a monitor window: owns the raw device buffer,
// the analysis and display feeds, the beat analysis with its averages, and
// the run control of the stress test recorded into a study.

#include "analysis/BeatListener.h"
#include "analysis/FrontEndRange.h"
#include "analysis/SignalBuffer.h"
#include "stress/StressRun.h"

#include <QByteArray>
#include <QStringList>
#include <memory>
#include <vector>

class BeatAnalysisPath;
class MonitorFeeds;
class MonitorListener;
class Study;
class StudyAutosave;
class StudyRecorder;
class StudyStore;

class MonitorEngine : private BeatListener {
public:
    // The device's signal, as the driver reports it.
    struct SignalFormat {
        int channelCount = 0;
        int samplingRate = 0;
        double rangeMv = FrontEndRange::kRangeMv;  // samples span -range .. range
        int resolutionBits = FrontEndRange::kResolutionBits;
        QStringList channelNames;
    };

    // Without the display only the analysis feed is built (headless runs).
    explicit MonitorEngine(const SignalFormat &format, bool withDisplay = true);
    ~MonitorEngine() override;
    MonitorEngine(const MonitorEngine &) = delete;
    MonitorEngine &operator=(const MonitorEngine &) = delete;

    // The driver's sink: blocks are appended here, then processBlock() runs.
    SignalBuffer &raw() const { return *raw_; }
    MonitorFeeds &feeds() const { return *feeds_; }
    BeatAnalysisPath &beatAnalysis() const { return *beats_; }

    void addListener(MonitorListener *listener);
    void removeListener(MonitorListener *listener);

    // The test to record into `study`, whose recording must have the
    // device's channels and rate (throws std::invalid_argument otherwise).
    // `store` (may be null) saves the study while it runs. Study, store and
    // equipment must outlive the engine. Ignored while running.
    void prepareRun(Study &study, StressRun::Plan plan, StudyStore *store = nullptr);

    // A recording of fixed length: at most `samples` samples are recorded
    // and the run stops by itself when they are (0: until stop()). Call
    // after prepareRun().
    void setRecordingLimit(std::int64_t samples);
    std::int64_t recordingLimit() const;
    // Drops what a stopped run recorded (samples, beats, results, events and
    // the recorded protocol) and saves the emptied study, so the next
    // start() records from time 0. Ignored while running or before
    // prepareRun(). Throws std::runtime_error with the failure text when the
    // files could not be emptied.
    void discardRecording();

    // Every block the driver appended to raw().
    void processBlock();
    // A pacemaker pulse at live sample `liveSampleIndex`.
    void pacemakerPulse(std::int64_t liveSampleIndex);

    // Run control; nothing happens before prepareRun().
    void start(const QByteArray &dateTime);
    void nextStage();
    void goToRecovery();
    void stop();
    void addBloodPressure(int systolic, int diastolic, double time);

    bool running() const { return run_ && run_->running(); }
    // Null before prepareRun().
    const StressRun *run() const { return run_.get(); }
    // Seconds of signal recorded since Start (what reached the study's
    // recording, unless its disk refused some).
    double recordedTime() const;
    int currentStageIndex() const { return run_ ? run_->currentStageIndex() : 0; }
    const Stage *currentStage() const { return run_ ? run_->currentStage() : nullptr; }
    int stageStart() const { return run_ ? run_->stageStart() : 0; }
    int phaseStart() const { return run_ ? run_->phaseStart() : 0; }
    int stageNumberInPhase() const { return run_ ? run_->stageNumberInPhase() : 1; }
    double stageMets() const { return run_ ? run_->stageMets() : 0.0; }
    int autosaveCount() const;

    // What the average-beat view beside a lead shows besides the averages
    // themselves (beatAnalysis().averages(): current and reference): the
    // lead's latest ST level and slope and the isoelectric, J and ST points
    // in samples of its average. Not valid before Start or before the lead
    // was measured.
    struct StView {
        bool valid = false;
        double levelMv = 0.0;
        double slopeMvPerSecond = 0.0;
        int isoelectric = 0;
        int j = 0;
        int st = 0;
    };
    StView stView(int lead) const;

private:
    void beatEmitted(const BeatRecord &beat) override;
    template <typename Call>
    void notifyAll(Call call);
    void report(const QString &text);
    void saveStudy();

    std::unique_ptr<SignalBuffer> raw_;
    std::unique_ptr<MonitorFeeds> feeds_;
    std::unique_ptr<BeatAnalysisPath> beats_;
    std::vector<MonitorListener *> listeners_;

    Study *study_ = nullptr;
    std::unique_ptr<StudyRecorder> recorder_;
    std::unique_ptr<StudyAutosave> autosave_;
    std::unique_ptr<StressRun> run_;
};

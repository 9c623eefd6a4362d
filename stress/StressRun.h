#pragma once
// The run control of one stress test: start, stage changes by timer or
// command, stage results with blood pressure, equipment loads, stop with the
// maxima. Times are seconds of recorded signal, handed in by the caller.

#include "analysis/StageResults.h"
#include "store/Protocol.h"
#include "stress/EquipmentCommander.h"
#include "stress/RampProtocol.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class AverageBeatBuilder;
class EquipmentController;
class Study;
struct BeatRecord;

class StressRun {
public:
    // What the test runs: a stage protocol, a ramp, or neither (monitoring
    // only); and the equipment, when the load is not set by hand.
    struct Plan {
        std::optional<Protocol> stages;
        std::optional<RampProtocol> ramp;
        EquipmentController *equipment = nullptr;
    };
    struct Notify {
        std::function<void()> started;
        std::function<void()> stageChanged;
        std::function<void()> stopped;
        std::function<void(const QString &)> message;
    };
    // How the averages are scaled and the device's rate (pacemaker times).
    struct SignalScale {
        double sampleUnitMv = 0.0;
        int deviceRate = 0;
    };

    static QString equipmentFailedText();
    // How often a ramp's current load is sent, in seconds of recorded time.
    static constexpr double kRampSendInterval = 10.0;

    // `study` and `averages` (may be null: no ST) must outlive the run.
    StressRun(Study &study, Plan plan, AverageBeatBuilder *averages, SignalScale scale, Notify notify);
    ~StressRun();

    // `recordingStartSeconds`: live-signal time of the first recorded sample.
    void start(const QByteArray &dateTime, double recordingStartSeconds);
    void nextStage(double now);
    void goToRecovery(double now);
    void stop(double now);
    void addBloodPressure(int systolic, int diastolic, double time);
    // A valid beat with its times relative to the recording start.
    void onBeat(const BeatRecord &beat);
    void onPacemakerPulse(std::int64_t liveSampleIndex);
    // The stage timer and the ramp, after new samples were recorded.
    void tick(double now);

    bool running() const { return running_; }
    bool hasStageProtocol() const { return plan_.stages.has_value(); }
    const Protocol *stageProtocol() const { return plan_.stages ? &*plan_.stages : nullptr; }
    const RampProtocol *rampProtocol() const { return plan_.ramp ? &*plan_.ramp : nullptr; }
    int currentStageIndex() const { return currentStage_; }
    // Null without a stage protocol.
    const Stage *currentStage() const;
    int stageStart() const { return stageStart_; }
    int phaseStart() const { return phaseStart_; }
    int stageNumberInPhase() const { return numberInPhase_; }
    double stageMets() const;
    double smoothedHeartRate() const;
    // Where the ramp stood at the last tick.
    TreadmillLoad rampLoad() const { return rampLoad_; }
    bool hasEquipment() const { return equipment_.hasEquipment(); }
    // The ST analysis of the run; null before Start.
    const StageResults *stageResults() const { return results_.get(); }

private:
    void closeStageAndGoTo(int next, double now);
    void syncRecordedProtocol();
    void applyStageLoad(double now);
    void equipmentFailed();
    std::optional<int> recordedStageAt(double time) const;
    double heartRateTrendAt(double time) const;
    void notify(const std::function<void()> &callback) const {
        if (callback) callback();
    }

    Study &study_;
    Plan plan_;
    AverageBeatBuilder *averages_;
    SignalScale scale_;
    Notify notify_;
    EquipmentCommander equipment_;
    std::unique_ptr<StageResults> results_;

    bool running_ = false;
    bool equipmentActive_ = false;
    int currentStage_ = 0;
    int stageStart_ = 0;
    int phaseStart_ = 0;
    int lastPhase_ = -1;
    int numberInPhase_ = 1;
    int pendingSystolic_ = 0;
    int pendingDiastolic_ = 0;
    double lastRampSend_ = 0.0;
    TreadmillLoad rampLoad_;
};

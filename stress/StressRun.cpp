#include "stress/StressRun.h"

#include "analysis/StageMets.h"
#include "analysis/StudyResults.h"
#include "store/Study.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

int wholeSeconds(double seconds) { return static_cast<int>(std::floor(seconds)); }

StageLoad loadOf(const Protocol &protocol, const Stage &stage) {
    StageLoad load;
    load.protocolType = static_cast<int>(protocol.type);
    load.speedKmh = stage.parameter(QStringLiteral("speed"), QStringLiteral("km/h"));
    load.inclinePercent = stage.parameter(QStringLiteral("incline"), QStringLiteral("%"));
    load.watts = stage.parameter(QStringLiteral("workload"), QStringLiteral("watts"));
    return load;
}

double patientWeight(const Study &study) { return study.property("patient/weight").trimmed().toDouble(); }

}  // namespace

QString StressRun::equipmentFailedText() {
    return QCoreApplication::translate("StressRun", "Communication with ergometer/treadmill device failed.");
}

StressRun::StressRun(Study &study, Plan plan, AverageBeatBuilder *averages, SignalScale scale, Notify notify)
    : study_(study), plan_(std::move(plan)), averages_(averages), scale_(scale), notify_(std::move(notify)),
      equipment_(plan_.equipment) {
    // A protocol without stages has no stage to run: it is monitoring only.
    if (plan_.stages && plan_.stages->stageCount() == 0) plan_.stages.reset();
}

StressRun::~StressRun() = default;

const Stage *StressRun::currentStage() const { return plan_.stages ? &plan_.stages->stage(currentStage_) : nullptr; }

double StressRun::stageMets() const {
    if (!plan_.stages) return 0.0;
    return ::stageMets(loadOf(*plan_.stages, *currentStage()), patientWeight(study_));
}

double StressRun::smoothedHeartRate() const { return results_ ? results_->heartRate() : 0.0; }

void StressRun::start(const QByteArray &dateTime, double recordingStartSeconds) {
    if (running_) return;
    study_.setStudyDateTime(dateTime);
    study_.setRecordingDateTime(dateTime);

    auto recorded = std::make_unique<Protocol>();
    std::vector<StageLoad> loads;
    if (plan_.stages) {
        recorded->name = plan_.stages->name;
        recorded->type = plan_.stages->type;
        for (int i = 0; i < plan_.stages->stageCount(); ++i)
            loads.push_back(loadOf(*plan_.stages, plan_.stages->stage(i)));
    } else if (plan_.ramp) {
        // The study keeps a stage protocol only; a ramp is a treadmill test
        // under the ramp's name.
        recorded->name = plan_.ramp->name;
        recorded->type = ProtocolType::Treadmill;
    }
    study_.setProtocol(std::move(recorded));

    StageResults::Settings settings;
    settings.patientWeightKg = patientWeight(study_);
    settings.sampleUnitMv = scale_.sampleUnitMv;
    settings.deviceRate = scale_.deviceRate;
    results_ = std::make_unique<StageResults>(study_.results(), averages_, settings, std::move(loads));
    results_->start(0, 0.0, recordingStartSeconds);

    running_ = true;
    equipmentActive_ = false;
    currentStage_ = 0;
    stageStart_ = 0;
    phaseStart_ = 0;
    // The first stage's phase is the phase running, so a second stage of the
    // same phase is numbered 2 and the phase start is not moved by it.
    lastPhase_ = plan_.stages ? static_cast<int>(plan_.stages->stage(0).phase) : -1;
    numberInPhase_ = 1;
    pendingSystolic_ = pendingDiastolic_ = 0;
    lastRampSend_ = 0.0;
    rampLoad_ = plan_.ramp ? plan_.ramp->loadAt(0.0) : TreadmillLoad{};
    notify(notify_.started);

    if (!equipment_.start()) equipmentFailed();
    equipmentActive_ = true;
    if (plan_.ramp && !equipment_.sendTreadmillLoad(rampLoad_)) equipmentFailed();
}

void StressRun::nextStage(double now) {
    if (!running_ || !plan_.stages || currentStage_ >= plan_.stages->stageCount() - 1) return;
    // Leaving the first stage forward fixes the ST baseline; a jump to
    // recovery or a stop does not.
    if (currentStage_ == 0) results_->takeStReference();
    closeStageAndGoTo(currentStage_ + 1, now);
    applyStageLoad(now);
}

void StressRun::goToRecovery(double now) {
    if (!running_ || !plan_.stages) return;
    for (int k = currentStage_ + 1; k < plan_.stages->stageCount(); ++k) {
        if (plan_.stages->stage(k).phase == StagePhase::Recovery) {
            closeStageAndGoTo(k, now);
            applyStageLoad(now);
            return;
        }
    }
}

void StressRun::closeStageAndGoTo(int next, double now) {
    const int count = plan_.stages->stageCount();
    const std::size_t before = results_->executedStages().size();
    results_->closeStage(next, now);
    if (results_->executedStages().size() > before) {
        // The stage got its own row: the pressure entered while it ran is its
        // pressure; a merged stage leaves the pressure to the next one.
        StudyResults &r = study_.results();
        const int row = static_cast<int>(before);
        r.setPerStage(Result::SysBpPerStage, row, pendingSystolic_);
        r.setPerStage(Result::DiaBpPerStage, row, pendingDiastolic_);
        r.setPerStage(Result::DpPerStage, row, r.perStage(Result::BpmPerStage, row) * pendingSystolic_);
        pendingSystolic_ = pendingDiastolic_ = 0;
    }
    syncRecordedProtocol();

    if (next < count) {
        currentStage_ = next;
        stageStart_ = wholeSeconds(now);
    }
    const int phase = static_cast<int>(plan_.stages->stage(currentStage_).phase);
    if (phase == lastPhase_) {
        ++numberInPhase_;
    } else {
        phaseStart_ = wholeSeconds(now);
        lastPhase_ = phase;
        numberInPhase_ = 1;
    }
    notify(notify_.stageChanged);
}

void StressRun::syncRecordedProtocol() {
    Protocol *recorded = study_.protocol();
    if (!recorded) return;
    const auto &executed = results_->executedStages();
    for (std::size_t i = 0; i < executed.size(); ++i) {
        if (static_cast<int>(i) >= recorded->stageCount())
            recorded->appendStage(plan_.stages->stage(executed[i].protocolStage));
        recorded->stage(static_cast<int>(i)).duration = executed[i].durationSeconds;
    }
}

void StressRun::applyStageLoad(double) {
    if (!equipment_.sendStageLoad(*plan_.stages, currentStage_)) equipmentFailed();
}

void StressRun::equipmentFailed() {
    if (notify_.message) notify_.message(equipmentFailedText());
}

void StressRun::stop(double now) {
    if (!running_) return;
    running_ = false;
    if (plan_.stages) {
        closeStageAndGoTo(plan_.stages->stageCount(), now);
        // The stage was just closed at this second, so the close inside
        // finish() adds nothing; it derives the maxima from the rows above.
        results_->finish(now);
        syncRecordedProtocol();
    }
    if (equipmentActive_ && !equipment_.stop()) equipmentFailed();
    notify(notify_.stopped);
}

std::optional<int> StressRun::recordedStageAt(double time) const {
    const auto &executed = results_->executedStages();
    double end = 0.0;
    for (std::size_t k = 0; k < executed.size(); ++k) {
        end += executed[k].durationSeconds;
        if (time < end) return static_cast<int>(k);
    }
    return std::nullopt;
}

double StressRun::heartRateTrendAt(double time) const {
    const StudyResults &r = study_.results();
    const std::vector<double> &times = r.times(Result::BpmTrend);
    const std::vector<double> &values = r.values(Result::BpmTrend);
    const auto after = std::upper_bound(times.begin(), times.end(), time);
    if (after == times.begin()) return 0.0;
    return values[static_cast<std::size_t>(after - times.begin() - 1)];
}

void StressRun::addBloodPressure(int systolic, int diastolic, double time) {
    if (!running_) return;
    StudyResults &r = study_.results();
    r.appendPoint(Result::SysBpTrend, time, systolic);
    r.appendPoint(Result::DiaBpTrend, time, diastolic);
    r.appendPoint(Result::DpTrend, time, systolic * std::trunc(heartRateTrendAt(time)));

    const std::optional<int> stage = recordedStageAt(std::max(time, 0.0));
    if (!stage) {
        pendingSystolic_ = systolic;
        pendingDiastolic_ = diastolic;
        return;
    }
    r.setPerStage(Result::SysBpPerStage, *stage, systolic);
    r.setPerStage(Result::DiaBpPerStage, *stage, diastolic);
    r.setPerStage(Result::DpPerStage, *stage, systolic * r.perStage(Result::BpmPerStage, *stage));
}

void StressRun::onBeat(const BeatRecord &beat) {
    if (running_) results_->onBeat(beat);
}

void StressRun::onPacemakerPulse(std::int64_t liveSampleIndex) {
    if (running_) results_->onPacemakerPulse(liveSampleIndex);
}

void StressRun::tick(double now) {
    if (!running_) return;
    if (equipmentActive_ && !equipment_.checkReady()) equipmentFailed();
    if (plan_.stages) {
        const double elapsed = now - stageStart_;
        // The last stage never ends by itself: it runs until Stop.
        if (elapsed >= currentStage()->duration && currentStage_ < plan_.stages->stageCount() - 1) nextStage(now);
    }
    if (plan_.ramp) {
        const double rampEnd = plan_.ramp->durationMinutes * 60.0;
        rampLoad_ = plan_.ramp->loadAt(std::clamp(now, 0.0, std::max(rampEnd, 0.0)));
        if (now - lastRampSend_ >= kRampSendInterval) {
            lastRampSend_ = now;
            if (!equipment_.sendTreadmillLoad(rampLoad_)) equipmentFailed();
        }
    }
}

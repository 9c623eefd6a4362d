#include "StageResults.h"

#include "AverageBeatBuilder.h"
#include "BeatRecord.h"
#include "SignalSource.h"
#include "StudyResults.h"

#include <algorithm>
#include <cmath>

namespace {

int wholeSeconds(double seconds) { return static_cast<int>(std::floor(seconds)); }

double largestPositive(const std::vector<double> &values) {
    double best = 0.0;
    for (double v : values) best = std::max(best, v);
    return best;
}

}  // namespace

StageResults::StageResults(StudyResults &results, AverageBeatBuilder *averages, const Settings &settings,
                           std::vector<StageLoad> stages)
    : results_(results), averages_(averages), settings_(settings), stages_(std::move(stages)) {}

void StageResults::start(int firstStage, double nowSeconds, double recordingStartSeconds) {
    recordingStart_ = recordingStartSeconds;
    heartRate_ = systolic_ = diastolic_ = 0.0;
    beatsInStage_ = 0;
    currentStage_ = firstStage;
    stageStart_ = wholeSeconds(nowSeconds);
    levelMean_.fill(0.0);
    slopeMean_.fill(0.0);
    measuredInStage_.fill(0);
    for (StSmoother &s : levelSmoother_) s.reset();
    for (StSmoother &s : slopeSmoother_) s.reset();
    markers_.fill(Markers{});
    latest_.fill(StReading{});
    executed_.clear();
}

double StageResults::mets(int stage) const {
    if (stage < 0 || stage >= static_cast<int>(stages_.size())) return 0.0;
    return stageMets(stages_[static_cast<std::size_t>(stage)], settings_.patientWeightKg);
}

void StageResults::onBeat(const BeatRecord &beat) {
    if (!beat.valid) return;
    const double time = beat.windowStart;
    if (beat.meanRr() > 0.0) {
        const double bpm = 60.0 / beat.meanRr();
        heartRate_ = heartRate_ != 0.0 ? 0.8 * heartRate_ + 0.2 * bpm : bpm;
        results_.appendPoint(Result::BpmTrend, time, bpm);
    }
    results_.appendPoint(Result::MetsTrend, time, mets(currentStage_));

    const SignalSource *source = averages_ ? averages_->source() : nullptr;
    if (source && averages_->beatCount() > 0) {
        const int leads = std::min(averages_->leadCount(), kLeads);
        for (int k = 0; k < leads; ++k) measureLead(k, beat, source->samplingRate());
    }
    ++beatsInStage_;
}

void StageResults::measureLead(int lead, const BeatRecord &beat, int rate) {
    const auto k = static_cast<std::size_t>(lead);
    const StMeasurement st = measureSt(averages_->average(lead), rate, beat.rr(), settings_.sampleUnitMv);
    markers_[k] = st.valid ? Markers{st.isoelectric, st.j, st.st} : Markers{};
    if (!st.valid) {
        latest_[k] = StReading{};
        return;
    }
    const double level = levelSmoother_[k].add(st.level);
    const double slope = slopeSmoother_[k].add(st.slope);
    latest_[k] = StReading{true, level, slope};
    results_.appendPoint(StudyResults::stLevelTrend(lead), beat.windowStart, level);
    results_.appendPoint(StudyResults::stSlopeTrend(lead), beat.windowStart, slope);
    // Counted per lead: a beat this lead could not be measured on must not
    // weigh in as a zero.
    const double n = measuredInStage_[k]++;
    levelMean_[k] = (n * levelMean_[k] + level) / (n + 1.0);
    slopeMean_[k] = (n * slopeMean_[k] + slope) / (n + 1.0);
}

void StageResults::onPacemakerPulse(std::int64_t sampleIndex) {
    if (settings_.deviceRate <= 0) return;
    const double time = static_cast<double>(sampleIndex) / settings_.deviceRate - recordingStart_;
    results_.appendToList(Result::PacemakerPulses, time);
}

void StageResults::onBloodPressure(double systolic, double diastolic, double timeSeconds) {
    systolic_ = systolic;
    diastolic_ = diastolic;
    results_.appendPoint(Result::SysBpTrend, timeSeconds, systolic);
    results_.appendPoint(Result::DiaBpTrend, timeSeconds, diastolic);
    results_.appendPoint(Result::DpTrend, timeSeconds, std::trunc(heartRate_) * systolic);
}

void StageResults::takeStReference() {
    if (averages_) averages_->takeReference();
}

void StageResults::closeStage(int nextStage, double nowSeconds) {
    const int now = wholeSeconds(nowSeconds);
    const int elapsed = now - stageStart_;
    if (elapsed < kShortestStageSeconds && !executed_.empty()) {
        executed_.back().durationSeconds += elapsed;
    } else {
        const int index = static_cast<int>(executed_.size());
        executed_.push_back({currentStage_, elapsed});
        const double bpm = std::trunc(heartRate_);
        results_.setPerStage(Result::BpmPerStage, index, bpm);
        results_.setPerStage(Result::SysBpPerStage, index, systolic_);
        results_.setPerStage(Result::DiaBpPerStage, index, diastolic_);
        results_.setPerStage(Result::DpPerStage, index, bpm * systolic_);
        results_.setPerStage(Result::MetsPerStage, index, mets(currentStage_));
        for (int k = 0; k < kLeads; ++k) {
            results_.setPerStage(StudyResults::stLevelPerStage(k), index, levelMean_[static_cast<std::size_t>(k)]);
            results_.setPerStage(StudyResults::stSlopePerStage(k), index, slopeMean_[static_cast<std::size_t>(k)]);
        }
        beatsInStage_ = 0;
        systolic_ = diastolic_ = 0.0;
        levelMean_.fill(0.0);
        slopeMean_.fill(0.0);
        measuredInStage_.fill(0);
    }
    currentStage_ = nextStage;
    stageStart_ = now;
}

void StageResults::finish(double nowSeconds) {
    closeStage(-1, nowSeconds);
    deriveMaxima(results_);
}

void StageResults::deriveMaxima(StudyResults &results) {
    const double maxMets = largestPositive(results.values(Result::MetsPerStage));
    results.setScalar(Result::MaxBpm, largestPositive(results.values(Result::BpmPerStage)));
    results.setScalar(Result::MaxSysBp, largestPositive(results.values(Result::SysBpPerStage)));
    results.setScalar(Result::MaxDiaBp, largestPositive(results.values(Result::DiaBpPerStage)));
    results.setScalar(Result::MaxMets, maxMets);
    results.setScalar(Result::MaxDp, largestPositive(results.values(Result::DpPerStage)));
    results.setScalar(Result::MaxVo2, maxMets * 3.5);
}

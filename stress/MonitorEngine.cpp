#include "stress/MonitorEngine.h"

#include "analysis/BeatAnalysisPath.h"

#include "acquisition/FileSignal.h"
#include "analysis/MonitorFeeds.h"
#include "store/Study.h"
#include "stress/MonitorListener.h"
#include "stress/StudyAutosave.h"
#include "stress/StudyRecorder.h"

#include <algorithm>
#include <stdexcept>

MonitorEngine::MonitorEngine(const SignalFormat &format, bool withDisplay) {
    if (format.channelCount < 1 || format.channelCount > BeatRecord::kMaxLeads || format.samplingRate < 1)
        throw std::invalid_argument("Invalid signal format");
    raw_ = MonitorFeeds::createRawBuffer(format.channelCount, format.samplingRate);
    raw_->setAmplitudeRange(-format.rangeMv, format.rangeMv);
    raw_->setResolutionBits(format.resolutionBits);
    for (int i = 0; i < format.channelCount && i < format.channelNames.size(); ++i)
        raw_->setChannelName(i, format.channelNames[i]);
    feeds_ = std::make_unique<MonitorFeeds>(*raw_, withDisplay);
    beats_ = std::make_unique<BeatAnalysisPath>(feeds_->analysisFeed(), *raw_);
    beats_->addBeatListener(this);
    beats_->start();
}

MonitorEngine::~MonitorEngine() {
    run_.reset();
    beats_->removeBeatListener(this);
}

void MonitorEngine::addListener(MonitorListener *listener) {
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void MonitorEngine::removeListener(MonitorListener *listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

template <typename Call>
void MonitorEngine::notifyAll(Call call) {
    // A copy: a listener may unsubscribe while being told.
    const std::vector<MonitorListener *> listeners = listeners_;
    for (MonitorListener *listener : listeners) call(*listener);
}

void MonitorEngine::report(const QString &text) {
    notifyAll([&](MonitorListener &l) { l.message(*this, text); });
}

void MonitorEngine::saveStudy() {
    if (autosave_) autosave_->save(recordedTime());
}

void MonitorEngine::prepareRun(Study &study, StressRun::Plan plan, StudyStore *store) {
    if (running()) return;
    const FileSignal *recording = study.recording();
    if (!recording || recording->channelCount() != raw_->channelCount() ||
        recording->samplingRate() != raw_->samplingRate())
        throw std::invalid_argument("The study's recording does not match the device");

    study_ = &study;
    auto reportText = [this](const QString &text) { report(text); };
    recorder_ = std::make_unique<StudyRecorder>(study, *raw_, reportText);
    autosave_ = std::make_unique<StudyAutosave>(store, study, reportText);

    StressRun::Notify notify;
    notify.started = [this] { notifyAll([this](MonitorListener &l) { l.started(*this); }); };
    notify.stageChanged = [this] {
        notifyAll([this](MonitorListener &l) { l.stageChanged(*this); });
        // After the listeners, so the stage-end event they add is saved too.
        saveStudy();
    };
    notify.stopped = [this] { notifyAll([this](MonitorListener &l) { l.stopped(*this); }); };
    notify.message = reportText;
    StressRun::SignalScale scale;
    scale.sampleUnitMv = raw_->unitValue();
    scale.deviceRate = raw_->samplingRate();
    run_ = std::make_unique<StressRun>(study, std::move(plan), &beats_->averages(), scale, std::move(notify));
}

void MonitorEngine::setRecordingLimit(std::int64_t samples) {
    if (recorder_ && !running()) recorder_->setLimit(std::max<std::int64_t>(0, samples));
}

std::int64_t MonitorEngine::recordingLimit() const { return recorder_ ? recorder_->limit() : 0; }

void MonitorEngine::discardRecording() {
    if (!recorder_ || running()) return;
    recorder_->discard();
    study_->results().clear();
    study_->clearEvents();
    study_->setProtocol(nullptr);
    saveStudy();
}

double MonitorEngine::recordedTime() const { return recorder_ ? recorder_->elapsedSeconds() : 0.0; }

int MonitorEngine::autosaveCount() const { return autosave_ ? autosave_->saveCount() : 0; }

MonitorEngine::StView MonitorEngine::stView(int lead) const {
    const StageResults *results = run_ ? run_->stageResults() : nullptr;
    if (!results || lead < 0 || lead >= StageResults::kLeads) return StView{};
    const StageResults::StReading &reading = results->latestSt(lead);
    if (!reading.valid) return StView{};
    const StageResults::Markers &m = results->markers(lead);
    return StView{true, reading.level, reading.slope, m.isoelectric, m.j, m.st};
}

void MonitorEngine::processBlock() {
    feeds_->process();
    beats_->process();
    if (running()) {
        recorder_->recordNewSamples();
        const double now = recordedTime();
        run_->tick(now);
        if (running()) autosave_->saveIfDue(now);
        if (running() && recorder_->full()) stop();
    }
    notifyAll([this](MonitorListener &l) { l.blockProcessed(*this); });
}

void MonitorEngine::beatEmitted(const BeatRecord &beat) {
    if (running()) {
        const BeatRecord recorded = StudyRecorder::shifted(beat, recorder_->startSeconds());
        // A beat found in the signal before Start, or after the end of a
        // recording of fixed length, lies outside the recording.
        if (recorded.fiducialTime() >= 0.0 && recorder_->withinLimit(recorded.fiducialTime())) {
            recorder_->recordBeat(recorded);
            if (recorded.valid) run_->onBeat(recorded);
        }
    }
    notifyAll([&](MonitorListener &l) { l.beatDetected(*this, beat); });
}

void MonitorEngine::pacemakerPulse(std::int64_t liveSampleIndex) {
    if (running()) run_->onPacemakerPulse(liveSampleIndex);
}

void MonitorEngine::start(const QByteArray &dateTime) {
    if (!run_ || running()) return;
    recorder_->start(raw_->length());
    run_->start(dateTime, recorder_->startSeconds());
    saveStudy();
}

void MonitorEngine::nextStage() {
    if (run_) run_->nextStage(recordedTime());
}

void MonitorEngine::goToRecovery() {
    if (run_) run_->goToRecovery(recordedTime());
}

void MonitorEngine::stop() {
    if (!running()) return;
    // Whatever arrived since the last block belongs to the test.
    recorder_->recordNewSamples();
    // The beats detection still holds lie in the recording: they are handed
    // on while the test still runs, so they reach the study and the stage.
    // Detection then resumes for the monitor, which goes on showing the rate.
    beats_->finish();
    beats_->start();
    run_->stop(recordedTime());
    saveStudy();
}

void MonitorEngine::addBloodPressure(int systolic, int diastolic, double time) {
    if (run_) run_->addBloodPressure(systolic, diastolic, time);
}

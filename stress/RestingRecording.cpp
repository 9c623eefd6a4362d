#include "stress/RestingRecording.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatAnalysisPath.h"
#include "analysis/StudyResults.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "stress/MonitorEngine.h"
#include "stress/StudyRecorder.h"

#include <QCoreApplication>
#include <algorithm>
#include <stdexcept>

RestingRecording::RestingRecording(MonitorEngine &engine, Study &study, int seconds)
    : engine_(engine), study_(study), seconds_(std::max(1, seconds)),
      averages_(&engine.beatAnalysis().averagingFeed()) {
    engine_.addListener(this);
}

RestingRecording::~RestingRecording() { engine_.removeListener(this); }

double RestingRecording::remainingSeconds() const {
    if (state_ == State::Ready) return seconds_;
    if (state_ == State::Recorded) return 0.0;
    return std::max(0.0, seconds_ - engine_.recordedTime());
}

void RestingRecording::start(const QByteArray &dateTime) {
    if (state_ != State::Ready) return;
    const int rate = engine_.raw().samplingRate();
    engine_.setRecordingLimit(static_cast<std::int64_t>(seconds_) * rate);
    // The engine's recording begins at the live signal's current end.
    takeStart_ = static_cast<double>(engine_.raw().length()) / rate;
    averages_.reset(true);
    measurements_ = RestingEcgMeasurements{};
    state_ = State::Recording;
    engine_.start(dateTime);
    if (!engine_.running()) {
        state_ = State::Ready;
        return;
    }
    study_.setProperty("studyType", "ECG");
    if (Protocol *recorded = study_.protocol()) recorded->type = ProtocolType::RestingEcg;
}

void RestingRecording::stop() {
    if (state_ == State::Recording) engine_.stop();
}

void RestingRecording::repeat() {
    if (state_ == State::Ready) return;
    stop();
    try {
        engine_.discardRecording();
    } catch (const std::runtime_error &e) {
        discardFailure_ = QString::fromUtf8(e.what());
        throw;
    }
    discardFailure_.clear();
    averages_.reset(true);
    measurements_ = RestingEcgMeasurements{};
    state_ = State::Ready;
}

void RestingRecording::storeMeasurements() {
    if (state_ != State::Recorded) throw std::runtime_error("No recording to save");
    if (!discardFailure_.isEmpty()) throw std::runtime_error(discardFailure_.toStdString());
    // A take with samples or beats missing is not a resting ECG to keep.
    const FileSignal *recording = study_.recording();
    const BeatFile *beats = study_.beats();
    if (recording && recording->hasWriteError())
        throw std::runtime_error(StudyRecorder::failureText(recording->writeErrorString()).toStdString());
    if (recording && !recording->isWritable())
        throw std::runtime_error(
            StudyRecorder::failureText(
                QCoreApplication::translate("StudyRecorder", "the recording file is not open for writing"))
                .toStdString());
    if (beats && beats->hasWriteError())
        throw std::runtime_error(StudyRecorder::failureText(beats->writeErrorString()).toStdString());
    for (const auto &[name, value] : measurements_.entries()) study_.results().setScalar(name, value);
}

void RestingRecording::beatDetected(MonitorEngine &, const BeatRecord &beat) {
    if (state_ != State::Recording) return;
    const double t = beat.fiducialTime() - takeStart_;
    if (t >= 0.0 && t < seconds_) averages_.addBeat(beat);
}

void RestingRecording::stopped(MonitorEngine &) {
    if (state_ != State::Recording) return;
    std::vector<QString> names;
    const SignalSource &raw = engine_.raw();
    for (int k = 0; k < raw.channelCount(); ++k) names.push_back(raw.channelName(k));
    measurements_ = measureRestingEcg(averages_, names, raw.samplingRate());
    state_ = State::Recorded;
}

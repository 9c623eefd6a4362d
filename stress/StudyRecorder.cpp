#include "stress/StudyRecorder.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecord.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/SignalSource.h"
#include "store/Study.h"

#include <QCoreApplication>
#include <algorithm>
#include <stdexcept>

namespace {
// Samples copied per append, so a long catch-up needs no buffer of its size.
constexpr int kChunkFrames = 4096;
}  // namespace

StudyRecorder::StudyRecorder(Study &study, const SignalSource &live, std::function<void(const QString &)> report)
    : study_(study), live_(live), report_(std::move(report)) {}

QString StudyRecorder::failureText(const QString &reason) {
    return QCoreApplication::translate("StudyRecorder", "Recording to disk failed") + QStringLiteral(": ") + reason;
}

void StudyRecorder::start(std::int64_t liveOffset) {
    startOffset_ = liveOffset;
    elapsedFrames_ = 0;
    signalFailureReported_ = beatFailureReported_ = false;
}

double StudyRecorder::startSeconds() const {
    return live_.samplingRate() > 0 ? static_cast<double>(startOffset_) / live_.samplingRate() : 0.0;
}

double StudyRecorder::recordedSeconds() const {
    const FileSignal *recording = study_.recording();
    if (!recording || recording->samplingRate() <= 0) return 0.0;
    return static_cast<double>(recording->length()) / recording->samplingRate();
}

double StudyRecorder::elapsedSeconds() const {
    return live_.samplingRate() > 0 ? static_cast<double>(elapsedFrames_) / live_.samplingRate() : 0.0;
}

bool StudyRecorder::full() const {
    // Counted from the live signal, so a take on a failing disk still ends.
    return limit_ > 0 && elapsedFrames_ >= limit_;
}

bool StudyRecorder::withinLimit(double seconds) const {
    return limit_ <= 0 || live_.samplingRate() <= 0 || seconds < static_cast<double>(limit_) / live_.samplingRate();
}

void StudyRecorder::discard() {
    FileSignal *recording = study_.recording();
    BeatFile *beats = study_.beats();
    // Both files are emptied even when the first refuses, so no beat of the
    // discarded take is left beside a new recording.
    const bool signalEmptied = !recording || recording->discardSamples();
    const bool beatsEmptied = !beats || beats->discardRecords();
    elapsedFrames_ = 0;
    signalFailureReported_ = beatFailureReported_ = false;
    if (!signalEmptied || !beatsEmptied)
        throw std::runtime_error(
            failureText(QCoreApplication::translate("StudyRecorder", "the previous recording could not be removed"))
                .toStdString());
}

void StudyRecorder::recordNewSamples() {
    FileSignal *recording = study_.recording();
    if (!recording) return;
    std::int64_t elapsed = live_.length() - startOffset_;
    if (limit_ > 0) elapsed = std::min(elapsed, limit_);
    elapsedFrames_ = std::max(elapsedFrames_, elapsed);
    const int channels = std::min(recording->channelCount(), live_.channelCount());
    chunk_.resize(static_cast<std::size_t>(recording->channelCount()));
    rows_.resize(chunk_.size());
    std::int64_t recorded = recording->length();
    std::int64_t available = live_.length() - recorded - startOffset_;
    if (limit_ > 0) available = std::min(available, limit_ - recorded);
    while (available > 0) {
        const int n = static_cast<int>(std::min<std::int64_t>(available, kChunkFrames));
        for (std::size_t c = 0; c < chunk_.size(); ++c) {
            chunk_[c].assign(static_cast<std::size_t>(n), 0.0);
            if (static_cast<int>(c) < channels)
                live_.readRange(static_cast<int>(c), recorded + startOffset_, n, chunk_[c].data());
            rows_[c] = chunk_[c].data();
        }
        recording->append(n, rows_.data());
        if (recording->length() != recorded + n) break;
        recorded += n;
        available -= n;
    }
    checkSignal();
}

void StudyRecorder::checkSignal() {
    const FileSignal *recording = study_.recording();
    if (signalFailureReported_) return;
    // A recording file this process did not create takes no samples and
    // records no error: a test recorded into it would be lost unseen.
    QString reason;
    if (recording->hasWriteError())
        reason = recording->writeErrorString();
    else if (!recording->isWritable())
        reason = QCoreApplication::translate("StudyRecorder", "the recording file is not open for writing");
    else
        return;
    signalFailureReported_ = true;
    if (report_) report_(failureText(reason));
}

void StudyRecorder::recordBeat(const BeatRecord &beat) {
    BeatFile *beats = study_.beats();
    if (!beats) return;
    const int channels = std::min(beats->channelCount(), static_cast<int>(BeatRecord::kMaxLeads));
    QByteArray record(beats->recordLength(), '\0');
    BeatRecordCodec::toBytes(beat, channels, record.data());
    if (beats->append(record) >= 0 || beatFailureReported_) return;
    beatFailureReported_ = true;
    const QString reason =
        beats->hasWriteError() ? beats->writeErrorString() : QStringLiteral("beat record not written");
    if (report_) report_(failureText(reason));
}

BeatRecord StudyRecorder::shifted(const BeatRecord &beat, double seconds) {
    BeatRecord out = beat;
    out.windowStart -= seconds;
    out.values[BeatRecord::FiducialTime] -= seconds;
    for (BeatRecord::Lead &lead : out.leads) {
        for (BeatRecord::LeadValue time : {BeatRecord::PPeakTime, BeatRecord::QPointTime, BeatRecord::RPeakTime,
                                           BeatRecord::SPointTime, BeatRecord::TPeakTime}) {
            if (lead.hasValue(time)) lead.value[time] -= seconds;
        }
    }
    return out;
}

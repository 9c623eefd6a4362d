#include "store/StudyInfoConversion.h"
#include "tools/screenshots/DemoSession.h"

#include "analysis/ChannelTable.h"
#include "analysis/MonitorFeeds.h"
#include "stress/MonitorListener.h"
#include "stress/StudyRecorder.h"
#include "tools/screenshots/Screenshot.h"

#include <QFile>
#include <stdexcept>

class DemoSession::BeatLog : public MonitorListener {
public:
    explicit BeatLog(DemoSession &session) : session_(session) {}
    void beatDetected(MonitorEngine &engine, const BeatRecord &beat) override {
        if (!engine.running()) return;
        const double start = static_cast<double>(session_.startFrame_) / kRate;
        const BeatRecord recorded = StudyRecorder::shifted(beat, start);
        if (recorded.fiducialTime() >= 0.0) session_.recordedBeats_.push_back(recorded);
    }

private:
    DemoSession &session_;
};

DemoSession::DemoSession(const QString &recordingPath) {
    QFile file(recordingPath);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error("Cannot open file");
    signal_ = file.readAll();
    if (signal_.size() < kChannels * 2 * kRate) throw std::runtime_error("Cannot open file");

    store_ = std::make_unique<StudyStore>(folder_.path());
    StudyInfo info = frontEndRecordingInfo(kRate);
    info.patientLastName = "Demo";
    info.patientFirstName = sample("Patient", "Paciente");
    info.patientWeight = "80";
    study_ = store_->createStudy(info);
    Protocol bruce;
    store_->protocol(QStringLiteral("Bruce"), bruce);

    MonitorEngine::SignalFormat format;
    format.channelCount = kChannels;
    format.samplingRate = kRate;
    format.channelNames = ChannelTable::maskedNames(ChannelTable::kAllChannelsMask);
    engine_ = std::make_unique<MonitorEngine>(format, true);
    engine_->feeds().configureLiveChain(true, true, true);
    StressRun::Plan plan;
    plan.stages = bruce;
    engine_->prepareRun(*study_, plan, store_.get());
    log_ = std::make_unique<BeatLog>(*this);
    engine_->addListener(log_.get());
}

DemoSession::~DemoSession() {
    engine_->removeListener(log_.get());
    engine_.reset();
}

void DemoSession::start() {
    startFrame_ = fedFrames_;
    engine_->start("20261208101500");
}

void DemoSession::feed(double seconds, const std::function<void()> &afterBlock) {
    constexpr int kFramesPerBlock = kRate / 50;
    const int frameBytes = kChannels * 2;
    const std::int64_t available = signal_.size() / frameBytes;
    const std::int64_t end = fedFrames_ + static_cast<std::int64_t>(seconds * kRate);
    while (fedFrames_ < end) {
        const std::int64_t at = fedFrames_ % available;
        const int frames = static_cast<int>(std::min<std::int64_t>(kFramesPerBlock, available - at));
        engine_->raw().appendInterleaved16(signal_.constData() + at * frameBytes, frames * frameBytes);
        fedFrames_ += frames;
        engine_->processBlock();
        if (afterBlock) afterBlock();
    }
}

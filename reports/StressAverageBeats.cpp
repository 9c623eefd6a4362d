#include "reports/StressAverageBeats.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/AverageBeatBuilder.h"
#include "analysis/BeatRecordCodec.h"
#include "analysis/ReviewFilterChain.h"
#include "store/Protocol.h"
#include "store/Study.h"
#include "ui/EcgDisplayBase.h"
#include "ui/RecordAverageBeats.h"

#include <algorithm>

namespace {
constexpr int kStandardLeads = 12;
}

StressAverageBeats::StressAverageBeats(const Study &study) : study_(study) {}

StressAverageBeats::~StressAverageBeats() = default;

bool StressAverageBeats::parseMoment(const QString &name, Moment *moment) {
    if (name == QLatin1String("rest"))
        *moment = Moment::Rest;
    else if (name == QLatin1String("peak"))
        *moment = Moment::Peak;
    else if (name == QLatin1String("recovery"))
        *moment = Moment::Recovery;
    else if (name == QLatin1String("record"))
        *moment = Moment::Record;
    else
        return false;
    return true;
}

bool StressAverageBeats::window(const Protocol &recorded, Moment moment, double *start, double *end) {
    if (moment == Moment::Record) return false;
    const StagePhase phase = moment == Moment::Rest   ? StagePhase::Rest
                             : moment == Moment::Peak ? StagePhase::Exercise
                                                      : StagePhase::Recovery;
    for (int i = recorded.stageCount() - 1; i >= 0; --i) {
        if (recorded.stage(i).phase != phase) continue;
        *end = recorded.stageEnd(i);
        *start = std::max(recorded.stageStart(i), *end - AverageBeatBuilder::kWindowSeconds);
        return true;
    }
    return false;
}

std::vector<int> StressAverageBeats::channels() const {
    std::vector<int> out;
    const FileSignal *signal = study_.recording();
    for (int c = 0; signal && c < std::min(kStandardLeads, signal->channelCount()); ++c) out.push_back(c);
    return out;
}

RecordAverageBeats *StressAverageBeats::averages(Moment moment) {
    const auto m = static_cast<std::size_t>(moment);
    if (tried_[m]) return averages_[m].get();
    tried_[m] = true;
    FileSignal *signal = study_.recording();
    const BeatFile *beatFile = study_.beats();
    double start = 0.0, end = 0.0;
    if (!signal || !beatFile || signal->samplingRate() <= 0) return nullptr;
    if (moment == Moment::Record)
        end = static_cast<double>(signal->length()) / signal->samplingRate();
    else if (!study_.protocol() || !window(*study_.protocol(), moment, &start, &end))
        return nullptr;
    if (!chain_) {
        chain_ = std::make_unique<ReviewFilterChain>(*signal);
        chain_->configure(true, true, true);
    }
    const int channels = std::min(beatFile->channelCount(), static_cast<int>(BeatRecord::kMaxLeads));
    std::vector<BeatRecord> beats;
    QByteArray bytes;
    bool included = true;
    for (std::int64_t i = 0; i < beatFile->count(); ++i) {
        if (!beatFile->read(i, bytes, &included) || !included) continue;
        if (bytes.size() < BeatRecordCodec::recordSize(channels)) continue;
        BeatRecord beat = BeatRecordCodec::fromBytes(bytes.constData(), channels);
        if (beat.fiducialTime() >= start && beat.fiducialTime() <= end) beats.push_back(beat);
    }
    if (beats.empty()) return nullptr;
    const int fullScale = EcgDisplayBase::fullScaleForBits(signal->resolutionBits());
    const double unitMv = fullScale > 0 ? signal->amplitudeMax() / fullScale : 0.0;
    averages_[m] = std::make_unique<RecordAverageBeats>(chain_->output(), std::move(beats), unitMv);
    averages_[m]->setTimeWindow(start, end);
    return averages_[m].get();
}

bool StressAverageBeats::view(Moment moment, int channel, AverageBeatView *out) {
    RecordAverageBeats *source = averages(moment);
    return source && source->view(channel, out);
}

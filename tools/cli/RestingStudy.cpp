#include "tools/cli/RestingStudy.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "analysis/BeatRecordCodec.h"
#include "store/StudyStore.h"
#include "tools/cli/BeatsRun.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace RestingStudy {
namespace {

// Writes every beat to the study's beat file as the monitoring engine does,
// so review and reports read them back the same way.
class BeatWriter : public BeatListener {
public:
    explicit BeatWriter(BeatFile &file) : file_(file) {}
    void beatEmitted(const BeatRecord &beat) override {
        const int channels = std::min(file_.channelCount(), static_cast<int>(BeatRecord::kMaxLeads));
        QByteArray record(file_.recordLength(), '\0');
        BeatRecordCodec::toBytes(beat, channels, record.data());
        if (file_.append(record) < 0) failed_ = true;
    }
    bool failed() const { return failed_; }

private:
    BeatFile &file_;
    bool failed_ = false;
};

}  // namespace

void keepFirstSeconds(Recording &recording, double seconds) {
    const auto keep = static_cast<std::size_t>(std::max(0LL, std::llround(seconds * recording.rate)));
    for (auto &samples : recording.samples)
        if (samples.size() > keep) samples.resize(keep);
}

Study *create(StudyStore &store, const Recording &recording, StudyInfo info) {
    std::vector<int> channels;
    QStringList names;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c)
        if (recording.hasChannel(c)) {
            channels.push_back(c);
            names << ChannelTable::name(c);
        }
    if (channels.empty()) throw std::runtime_error("The recording has no lead of the channel table");
    info.studyType = kStudyType;
    info.samplingRate = recording.rate;
    info.channelCount = static_cast<int>(channels.size());
    info.channelNames = names.join(',').toUtf8();
    info.resolution = Recording::kResolutionBits;
    info.gainMax = Recording::kRangeMv;
    Study *study = store.createStudy(info);
    if (!study || !study->recording() || !study->beats()) throw std::runtime_error("Cannot create the study");
    std::vector<const std::int16_t *> rows;
    for (int c : channels) rows.push_back(recording.samples[static_cast<std::size_t>(c)].data());
    study->recording()->append(static_cast<int>(recording.length()), rows.data());
    BeatWriter beats(*study->beats());
    RestingMeasurements average;
    runBeatAnalysis(recording, beats, average);
    if (study->recording()->hasWriteError() || beats.failed()) {
        store.closeStudy(study);
        throw std::runtime_error("Recording to disk failed");
    }
    for (const auto &[name, value] : average.global.entries()) study->results().setScalar(name, value);
    store.saveStudy(*study);
    return study;
}

}  // namespace RestingStudy

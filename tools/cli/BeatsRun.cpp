#include "tools/cli/BeatsRun.h"

#include "analysis/BeatAnalysisPath.h"
#include "analysis/GlobalMeasurement.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/RestingValues.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

// Device-rate samples per hand-over, as the acquisition driver delivers them
// (a tenth of a second), so the batch run takes the live path step by step.
int blockFrames(int rate) { return std::max(1, rate / 10); }

// A QRS cut by the end of the file still needs the wavelet filters' few
// samples after it to be judged: the last value is held this long (no step
// that could look like a QRS), then finish() hands on the beats still held.
// Shorter than the 0.5 s an average takes after R, so no beat that reaches
// into the held stretch joins the averages.
constexpr double kTailSeconds = 0.3;

std::optional<double> relativeMs(double seconds) {
    if (seconds == 0.0) return std::nullopt;
    return 1000.0 * seconds;
}

// A recording in memory as an analysis input.
class RecordingInput : public AnalysisInput {
public:
    explicit RecordingInput(const Recording &recording) : recording_(recording) {
        for (int c = 0; c < ChannelTable::kChannelCount; ++c)
            if (recording.hasChannel(c)) channels_.push_back(c);
    }
    int rate() const override { return recording_.rate; }
    const std::vector<int> &channels() const override { return channels_; }
    int read(int frames, std::vector<std::vector<std::int16_t>> &rows) override {
        const auto n = static_cast<int>(
            std::max<std::int64_t>(0, std::min<std::int64_t>(frames, recording_.length() - position_)));
        rows.resize(channels_.size());
        for (std::size_t k = 0; k < channels_.size(); ++k) {
            const auto first = recording_.samples[static_cast<std::size_t>(channels_[k])].begin() + position_;
            rows[k].assign(first, first + n);
        }
        position_ += n;
        return n;
    }

private:
    const Recording &recording_;
    std::vector<int> channels_;
    std::int64_t position_ = 0;
};

}  // namespace

void runBeatAnalysis(const Recording &recording, BeatListener &beats, RestingMeasurements &average) {
    RecordingInput input(recording);
    runBeatAnalysis(input, beats, average);
}

void runBeatAnalysis(AnalysisInput &input, BeatListener &beats, RestingMeasurements &average) {
    const std::vector<int> &channels = input.channels();
    if (channels.empty()) throw std::runtime_error("The recording has no lead of the channel table");
    const int count = static_cast<int>(channels.size());
    const int rate = input.rate();

    auto raw = MonitorFeeds::createRawBuffer(count, rate);
    raw->setAmplitudeRange(-Recording::kRangeMv, Recording::kRangeMv);
    raw->setResolutionBits(Recording::kResolutionBits);
    std::vector<QString> names;
    for (int k = 0; k < count; ++k) {
        names.push_back(ChannelTable::name(channels[static_cast<std::size_t>(k)]));
        raw->setChannelName(k, names.back());
    }
    MonitorFeeds feeds(*raw, false);
    BeatAnalysisPath path(feeds.analysisFeed(), *raw);
    path.addBeatListener(&beats);
    path.start();

    const int block = blockFrames(rate);
    std::vector<std::vector<std::int16_t>> held;
    std::vector<const std::int16_t *> rows(static_cast<std::size_t>(count));
    auto feed = [&](int n) {
        for (int k = 0; k < count; ++k) rows[static_cast<std::size_t>(k)] = held[static_cast<std::size_t>(k)].data();
        raw->append(n, rows.data());
        feeds.process();
        path.process();
    };
    // Past the end the blocks go on, the one cut short by the end included,
    // with each channel's last value held for the tail.
    std::vector<std::int16_t> last(static_cast<std::size_t>(count), 0);
    bool any = false;
    for (;;) {
        const int n = input.read(block, held);
        if (n > 0) {
            any = true;
            for (int k = 0; k < count; ++k)
                last[static_cast<std::size_t>(k)] = held[static_cast<std::size_t>(k)].back();
        }
        if (n == block) {
            feed(n);
            continue;
        }
        if (!any) break;
        std::int64_t tail = static_cast<std::int64_t>(std::ceil(kTailSeconds * rate));
        int size = n + static_cast<int>(std::min<std::int64_t>(block - n, tail));
        tail -= size - n;
        for (;;) {
            held.resize(static_cast<std::size_t>(count));
            for (int k = 0; k < count; ++k)
                held[static_cast<std::size_t>(k)].resize(static_cast<std::size_t>(size),
                                                         last[static_cast<std::size_t>(k)]);
            feed(size);
            if (tail == 0) break;
            size = static_cast<int>(std::min<std::int64_t>(block, tail));
            tail -= size;
            for (auto &samples : held) samples.clear();
        }
        break;
    }
    // The end of the input: every block has been analysed.
    path.finish();
    path.removeBeatListener(&beats);

    AverageBeatBuilder &averages = path.averages();
    if (averages.beatCount() == 0) return;
    std::vector<std::vector<double>> leads;
    for (int k = 0; k < count; ++k) leads.push_back(averages.average(k));
    const double meanRr = averages.meanRr();
    // The axis is taken over the QRS of lead II when the record has it.
    const auto lead2 = std::find(names.begin(), names.end(), QStringLiteral("II"));
    const int axisLead = lead2 != names.end() ? static_cast<int>(lead2 - names.begin()) : 0;
    const RestingValues axisValues = restingValues(leads, names, rate, axisLead, meanRr);
    if (axisValues.qrsAxis != kNoAxis) average.qrsAxisDegrees = axisValues.qrsAxis;
    average.global = measureGlobal(leads, names, rate, meanRr);
    for (int k = 0; k < count; ++k) {
        const RestingValues v = restingValues(leads, names, rate, k, meanRr);
        LeadRestingMeasurements lead;
        lead.lead = names[static_cast<std::size_t>(k)];
        lead.pOnsetMs = relativeMs(v.pOnset);
        lead.qrsOnsetMs = relativeMs(v.qrsOnset);
        lead.qrsOffsetMs = relativeMs(v.qrsOffset);
        lead.tOffsetMs = relativeMs(v.tOffset);
        average.leads.push_back(lead);
    }
}

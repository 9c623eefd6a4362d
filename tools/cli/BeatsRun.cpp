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

}  // namespace

void runBeatAnalysis(const Recording &recording, BeatListener &beats, RestingMeasurements &average) {
    std::vector<int> channels;
    for (int c = 0; c < ChannelTable::kChannelCount; ++c)
        if (recording.hasChannel(c)) channels.push_back(c);
    if (channels.empty()) throw std::runtime_error("The recording has no lead of the channel table");
    const int count = static_cast<int>(channels.size());
    const std::int64_t length = recording.length();

    auto raw = MonitorFeeds::createRawBuffer(count, recording.rate);
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

    const int block = blockFrames(recording.rate);
    const std::int64_t tail = static_cast<std::int64_t>(std::ceil(kTailSeconds * recording.rate));
    std::vector<std::vector<std::int16_t>> held(static_cast<std::size_t>(count),
                                                std::vector<std::int16_t>(static_cast<std::size_t>(block)));
    std::vector<const std::int16_t *> rows(static_cast<std::size_t>(count));
    for (std::int64_t first = 0; first < length + tail; first += block) {
        const int n = static_cast<int>(std::min<std::int64_t>(block, length + tail - first));
        for (int k = 0; k < count; ++k) {
            const auto &samples = recording.samples[static_cast<std::size_t>(channels[static_cast<std::size_t>(k)])];
            auto &out = held[static_cast<std::size_t>(k)];
            for (int j = 0; j < n; ++j) {
                const std::int64_t i = std::min(first + j, length - 1);
                out[static_cast<std::size_t>(j)] = samples[static_cast<std::size_t>(i)];
            }
            rows[static_cast<std::size_t>(k)] = out.data();
        }
        raw->append(n, rows.data());
        feeds.process();
        path.process();
    }
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
    const RestingValues axisValues = restingValues(leads, names, recording.rate, axisLead, meanRr);
    if (axisValues.qrsAxis != kNoAxis) average.qrsAxisDegrees = axisValues.qrsAxis;
    average.global = measureGlobal(leads, names, recording.rate, meanRr);
    for (int k = 0; k < count; ++k) {
        const RestingValues v = restingValues(leads, names, recording.rate, k, meanRr);
        LeadRestingMeasurements lead;
        lead.lead = names[static_cast<std::size_t>(k)];
        lead.pOnsetMs = relativeMs(v.pOnset);
        lead.qrsOnsetMs = relativeMs(v.qrsOnset);
        lead.qrsOffsetMs = relativeMs(v.qrsOffset);
        lead.tOffsetMs = relativeMs(v.tOffset);
        average.leads.push_back(lead);
    }
}

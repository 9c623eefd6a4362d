#include "analysis/MonitorFeeds.h"

#include "analysis/FirTables.h"

#include <algorithm>

std::unique_ptr<SignalBuffer> MonitorFeeds::createRawBuffer(int channelCount, int samplingRate) {
    return std::make_unique<SignalBuffer>(kRawBlockSize, kRawCapacity, channelCount, samplingRate);
}

int MonitorFeeds::analysisFactor(int rawRate) { return std::max(1, rawRate / kAnalysisRate); }

int MonitorFeeds::displayFactor(int rawRate) { return rawRate == 2 * kDisplayRate ? 2 : 1; }

MonitorFeeds::MonitorFeeds(SignalBuffer &raw, bool withDisplay) : raw_(raw) {
    const int rate = raw.samplingRate();
    const int channels = raw.channelCount();

    // Each feed is labelled with the rate it really carries: 250 and 500 for
    // the usual 500 and 1000 samples/s devices, the raw rate divided by the
    // factor otherwise (a 250 samples/s device's display feed is 250, not a
    // copy that would play at double speed).
    const int analysisReduction = analysisFactor(rate);
    analysisFeed_ =
        std::make_unique<SignalBuffer>(kAnalysisBlockSize, kAnalysisCapacity, channels, rate / analysisReduction);
    analysisFeed_->copyMetadataFrom(raw);
    analysisDecimator_ = std::make_unique<AveragingDecimator>(raw, *analysisFeed_, analysisReduction);
    if (!withDisplay) return;

    const int displayReduction = displayFactor(rate);
    displayFeed_ = std::make_unique<SignalBuffer>(raw.blockSize(), kDisplayCapacityBlocks * raw.blockSize(), channels,
                                                  rate / displayReduction);
    displayFeed_->copyMetadataFrom(raw);
    displayResampler_ =
        std::make_unique<DecimatingFirStage>(raw, *displayFeed_, FirTables::antiAlias1000(), displayReduction);

    liveChain_ = std::make_unique<LiveFilterChain>(*displayFeed_);
}

MonitorFeeds::~MonitorFeeds() = default;

void MonitorFeeds::process() {
    analysisDecimator_->process();
    if (displayResampler_) displayResampler_->process();
}

void MonitorFeeds::configureLiveChain(bool notch, bool muscle, bool baseline) {
    if (liveChain_) liveChain_->configure(notch, muscle, baseline);
}

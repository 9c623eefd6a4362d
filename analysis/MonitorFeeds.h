#pragma once
// The signal feeds a monitoring session derives from the raw acquisition
// buffer: the 250 samples/s beat analysis feed, the 500 samples/s display
// feed and the live filter chain over it, all advanced on the engine's tick.

#include "analysis/AveragingDecimator.h"
#include "analysis/DecimatingFirStage.h"
#include "analysis/LiveFilterChain.h"
#include "analysis/SignalBuffer.h"

#include <memory>

class MonitorFeeds {
public:
    static constexpr int kRawBlockSize = 4096;
    static constexpr int kRawCapacity = 81920;
    static constexpr int kAnalysisRate = 250;
    static constexpr int kAnalysisBlockSize = 4096;
    static constexpr int kAnalysisCapacity = 81920;
    static constexpr int kDisplayRate = 500;
    static constexpr int kDisplayCapacityBlocks = 20;

    // The raw acquisition buffer of a device; range and channel names are
    // the caller's to set from the driver.
    static std::unique_ptr<SignalBuffer> createRawBuffer(int channelCount, int samplingRate);

    // Builds both feeds and the live chain (every switch off) over `raw`,
    // which must outlive this object; the feeds start at raw's current end.
    // Without the display (`withDisplay` false) only the analysis feed is
    // built: batch analysis runs the same feeds without drawing anything.
    explicit MonitorFeeds(SignalBuffer &raw, bool withDisplay = true);
    ~MonitorFeeds();
    MonitorFeeds(const MonitorFeeds &) = delete;
    MonitorFeeds &operator=(const MonitorFeeds &) = delete;

    // The tick: moves everything the raw buffer gained into both feeds; the
    // display feed's appends run the live chain through its listeners.
    void process();

    // Rebuilds the live chain from the display feed's current end; any
    // source taken from liveOutput() before is gone.
    void configureLiveChain(bool notch, bool muscle, bool baseline);

    SignalBuffer &raw() const { return raw_; }
    SignalBuffer &analysisFeed() const { return *analysisFeed_; }
    bool hasDisplay() const { return displayFeed_ != nullptr; }
    // The display accessors need a display (see the constructor).
    SignalBuffer &displayFeed() const { return *displayFeed_; }
    SignalSource &liveOutput() const { return liveChain_->output(); }
    LiveFilterChain &liveChain() const { return *liveChain_; }

    // Rate reductions from the raw rate: analysis rate / 250 (at least 1),
    // display 2 at 1000 samples/s and 1 otherwise.
    static int analysisFactor(int rawRate);
    static int displayFactor(int rawRate);

private:
    SignalBuffer &raw_;
    // Buffers first: destroyed after the stages that write and read them.
    std::unique_ptr<SignalBuffer> analysisFeed_;
    std::unique_ptr<SignalBuffer> displayFeed_;
    std::unique_ptr<AveragingDecimator> analysisDecimator_;
    std::unique_ptr<DecimatingFirStage> displayResampler_;
    std::unique_ptr<LiveFilterChain> liveChain_;
};

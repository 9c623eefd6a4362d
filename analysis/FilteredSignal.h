#pragma once
// A view of another signal through block filters: same channels, rate, range,
// block size and length as its upstream; each block is computed from the
// upstream's block and its two neighbours when it is read.

#include "analysis/BlockFilter.h"
#include "analysis/SignalSource.h"

#include <list>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class FilteredSignal : public SignalSource, public SignalListener {
public:
    explicit FilteredSignal(SignalSource &upstream);
    // Stacking views: a view over another view, never a copy of it.
    explicit FilteredSignal(FilteredSignal &upstream) : FilteredSignal(static_cast<SignalSource &>(upstream)) {}
    ~FilteredSignal() override;

    SignalSource &upstream() const { return upstream_; }
    // One filter for every channel, or one for a single channel; a channel
    // with neither passes its upstream blocks through unchanged.
    void setFilter(std::unique_ptr<BlockFilter> filter);
    void setChannelFilter(int channel, std::unique_ptr<BlockFilter> filter);

    int readSample(int channel, std::int64_t index) const override;
    void readRange(int channel, std::int64_t first, int count, double *destination) const override;
    // Also serves the last, partial block of the signal (zero-filled past the
    // end), so the end of a record is filtered and shown like the rest.
    bool readBlock(int channel, std::int64_t block, std::int16_t *destination) const override;
    // Computes the blocks of the range not yet cached, the channels side by
    // side, after asking the upstream view for their neighbours. A range
    // nearly as long as the cache holds (which grows by a block on each side
    // at every view below) is left to be computed as it is read.
    void prepareRange(const std::vector<int> &channels, std::int64_t first, std::int64_t count) const override;

    // A filtered view is read-only: appends go to the upstream signal.
    void append(int, const std::int16_t *const *) override {}
    void appendInterleaved16(const char *, int) override {}
    void append(int, const double *const *) override {}

    void samplesAppended(SignalSource &source) override;

    // Blocks computed once are kept (per view) so that reading a page, which
    // asks every upstream view for each block's neighbours, computes each
    // block once.
    static constexpr int kCachedBlocksPerChannel = 16;

private:
    const BlockFilter *filterFor(int channel) const;
    // The upstream block, including a partial last block; false when absent.
    bool upstreamBlock(int channel, std::int64_t block, std::int16_t *destination) const;
    const std::int16_t *cachedBlock(int channel, std::int64_t block) const;
    // The upstream blocks around `block` into `around` (3 blocks), as the
    // filter's input.
    BlockWindow windowAround(int channel, std::int64_t block, std::int16_t *around) const;
    const std::int16_t *insert(const std::pair<int, std::int64_t> &key, std::vector<std::int16_t> samples) const;

    SignalSource &upstream_;
    std::unique_ptr<BlockFilter> allChannels_;
    std::vector<std::unique_ptr<BlockFilter>> perChannel_;

    using Key = std::pair<int, std::int64_t>;
    struct Entry {
        Key key;
        std::vector<std::int16_t> samples;
    };
    mutable std::list<Entry> cache_;  // most recently used first
    mutable std::map<Key, std::list<Entry>::iterator> cacheIndex_;
};

#include "analysis/FilteredSignal.h"

#include <algorithm>
#include <cstring>
#include <iterator>

FilteredSignal::FilteredSignal(SignalSource &upstream)
    : SignalSource(upstream.channelCount(), upstream.samplingRate(), upstream.blockSize()), upstream_(upstream),
      perChannel_(static_cast<std::size_t>(upstream.channelCount())) {
    copyMetadataFrom(upstream);
    setLength(upstream.length());
    upstream_.addListener(this);
}

FilteredSignal::~FilteredSignal() { upstream_.removeListener(this); }

void FilteredSignal::setFilter(std::unique_ptr<BlockFilter> filter) {
    allChannels_ = std::move(filter);
    cache_.clear();
    cacheIndex_.clear();
}

void FilteredSignal::setChannelFilter(int channel, std::unique_ptr<BlockFilter> filter) {
    if (channel < 0 || channel >= channelCount()) return;
    perChannel_[static_cast<std::size_t>(channel)] = std::move(filter);
    cache_.clear();
    cacheIndex_.clear();
}

void FilteredSignal::samplesAppended(SignalSource &) {
    // New samples change the last blocks and their neighbours' context.
    cache_.clear();
    cacheIndex_.clear();
    setLength(upstream_.length());
    notifyAppended();
}

const BlockFilter *FilteredSignal::filterFor(int channel) const {
    if (allChannels_) return allChannels_.get();
    return perChannel_[static_cast<std::size_t>(channel)].get();
}

bool FilteredSignal::upstreamBlock(int channel, std::int64_t block, std::int16_t *destination) const {
    if (block < 0) return false;
    if (block < upstream_.blockCount()) return upstream_.readBlock(channel, block, destination);
    const std::int64_t first = block * blockSize();
    if (first >= upstream_.length()) return false;
    // The partial last block: what exists, then zeros.
    std::vector<double> values(static_cast<std::size_t>(blockSize()));
    upstream_.readRange(channel, first, blockSize(), values.data());
    for (int k = 0; k < blockSize(); ++k) destination[k] = toSample16(values[static_cast<std::size_t>(k)]);
    return true;
}

const std::int16_t *FilteredSignal::cachedBlock(int channel, std::int64_t block) const {
    if (channel < 0 || channel >= channelCount() || block < 0 || block * blockSize() >= length()) return nullptr;
    const Key key{channel, block};
    auto found = cacheIndex_.find(key);
    if (found != cacheIndex_.end()) {
        cache_.splice(cache_.begin(), cache_, found->second);
        return cache_.front().samples.data();
    }

    const int n = blockSize();
    std::vector<std::int16_t> computed(static_cast<std::size_t>(n), 0);
    if (const BlockFilter *filter = filterFor(channel)) {
        std::vector<std::int16_t> around(static_cast<std::size_t>(3) * n);
        std::int16_t *parts[3] = {around.data(), around.data() + n, around.data() + 2 * n};
        BlockWindow window;
        window.n = n;
        window.block = block;
        window.signalLength = length();
        window.previous = upstreamBlock(channel, block - 1, parts[0]) ? parts[0] : nullptr;
        window.current = upstreamBlock(channel, block, parts[1]) ? parts[1] : nullptr;
        window.next = upstreamBlock(channel, block + 1, parts[2]) ? parts[2] : nullptr;
        filter->apply(window, computed.data());
    } else if (!upstreamBlock(channel, block, computed.data())) {
        return nullptr;
    }

    const std::size_t capacity = static_cast<std::size_t>(kCachedBlocksPerChannel) * channelCount();
    if (cache_.size() >= capacity) {
        cacheIndex_.erase(cache_.back().key);
        cache_.pop_back();
    }
    cache_.push_front({key, std::move(computed)});
    cacheIndex_[key] = cache_.begin();
    return cache_.front().samples.data();
}

bool FilteredSignal::readBlock(int channel, std::int64_t block, std::int16_t *destination) const {
    const std::int16_t *samples = cachedBlock(channel, block);
    if (!samples) return false;
    std::memcpy(destination, samples, sizeof(std::int16_t) * static_cast<std::size_t>(blockSize()));
    return true;
}

int FilteredSignal::readSample(int channel, std::int64_t index) const {
    if (index < 0 || index >= length()) return 0;
    const std::int16_t *samples = cachedBlock(channel, index / blockSize());
    return samples ? samples[index % blockSize()] : 0;
}

void FilteredSignal::readRange(int channel, std::int64_t first, int count, double *destination) const {
    std::int64_t i = first;
    const std::int64_t end = first + count;
    while (i < end) {
        if (i < 0 || i >= length()) {
            const std::int64_t stop = i < 0 ? std::min<std::int64_t>(end, 0) : end;
            std::fill(destination + (i - first), destination + (stop - first), 0.0);
            i = stop;
            continue;
        }
        const std::int64_t block = i / blockSize();
        const std::int64_t blockEnd = std::min(end, (block + 1) * blockSize());
        const std::int16_t *samples = cachedBlock(channel, block);
        for (std::int64_t k = i; k < blockEnd; ++k)
            destination[k - first] = samples && k < length() ? samples[k - block * blockSize()] : 0.0;
        i = blockEnd;
    }
}

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

BlockWindow FilteredSignal::windowAround(int channel, std::int64_t block, std::int16_t *around) const {
    const int n = blockSize();
    std::int16_t *parts[3] = {around, around + n, around + 2 * n};
    BlockWindow window;
    window.n = n;
    window.block = block;
    window.signalLength = length();
    window.previous = upstreamBlock(channel, block - 1, parts[0]) ? parts[0] : nullptr;
    window.current = upstreamBlock(channel, block, parts[1]) ? parts[1] : nullptr;
    window.next = upstreamBlock(channel, block + 1, parts[2]) ? parts[2] : nullptr;
    return window;
}

const std::int16_t *FilteredSignal::insert(const Key &key, std::vector<std::int16_t> samples) const {
    const std::size_t capacity = static_cast<std::size_t>(kCachedBlocksPerChannel) * channelCount();
    if (cache_.size() >= capacity) {
        cacheIndex_.erase(cache_.back().key);
        cache_.pop_back();
    }
    cache_.push_front({key, std::move(samples)});
    cacheIndex_[key] = cache_.begin();
    return cache_.front().samples.data();
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
        filter->apply(windowAround(channel, block, around.data()), computed.data());
    } else if (!upstreamBlock(channel, block, computed.data())) {
        return nullptr;
    }
    return insert(key, std::move(computed));
}

void FilteredSignal::prepareRange(const std::vector<int> &channels, std::int64_t first, std::int64_t count) const {
    const int n = blockSize();
    if (count <= 0 || length() <= 0 || channels.empty()) return;
    const std::int64_t lastBlock = (length() - 1) / n;
    const std::int64_t from = std::max<std::int64_t>(0, first < 0 ? 0 : first / n);
    const std::int64_t to = std::min(lastBlock, (first + count - 1) / n);
    if (to < from || to - from + 1 > kCachedBlocksPerChannel - 2) return;
    // Each block is computed from its upstream neighbours.
    upstream_.prepareRange(channels, (from - 1) * n, (to - from + 3) * n);
    // Channel-specific filters (a detrend) are cheap: they run as read.
    const BlockFilter *shared = allChannels_.get();
    if (!shared) return;
    std::vector<int> missing;
    std::vector<std::int16_t> around;
    std::vector<BlockWindow> windows;
    std::vector<std::vector<std::int16_t>> computed;
    std::vector<std::int16_t *> outs;
    for (std::int64_t block = from; block <= to; ++block) {
        missing.clear();
        for (int channel : channels)
            if (channel >= 0 && channel < channelCount() && !cacheIndex_.count(Key{channel, block}) &&
                std::find(missing.begin(), missing.end(), channel) == missing.end())
                missing.push_back(channel);
        if (missing.empty()) continue;
        const std::size_t m = missing.size();
        around.assign(m * 3 * static_cast<std::size_t>(n), 0);
        windows.clear();
        computed.assign(m, std::vector<std::int16_t>(static_cast<std::size_t>(n), 0));
        outs.clear();
        for (std::size_t k = 0; k < m; ++k) {
            windows.push_back(windowAround(missing[k], block, around.data() + k * 3 * static_cast<std::size_t>(n)));
            outs.push_back(computed[k].data());
        }
        shared->applyGroup(windows.data(), static_cast<int>(m), outs.data());
        for (std::size_t k = 0; k < m; ++k) insert(Key{missing[k], block}, std::move(computed[k]));
    }
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

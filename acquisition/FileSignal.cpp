#include "acquisition/FileSignal.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <type_traits>

namespace {

// Checked before the file is touched: a signal without channels has no frame
// size, and creating a file only to refuse it would truncate a recording.
int checkedChannelCount(int channelCount) {
    if (channelCount < 1) throw std::invalid_argument("Invalid signal geometry");
    return channelCount;
}

// Appends are encoded and written in pieces of this many frames, so a long
// append needs no buffer of its own size.
constexpr int AppendChunkFrames = 4096;

}  // namespace

FileSignal::FileSignal(const QString &path, int channelCount, int samplingRate, std::int64_t headerSize, bool create,
                       HeaderedFile::Access access)
    : SignalSource(checkedChannelCount(channelCount), samplingRate, BlockSize), file_(path, headerSize, create, access),
      frameBytes_(2 * channelCount),
      cachedFrameBlocks_(static_cast<std::size_t>(std::max(2, CachedChannelBlocks / channelCount))) {
    setResolutionBits(16);
    setLength(file_.dataSize() / frameBytes_);
}

FileSignal::~FileSignal() = default;

bool FileSignal::writeHeader(const char *data, std::int64_t size) { return file_.writeHeader(data, size); }

// ---- reading ---------------------------------------------------------------

void FileSignal::deinterleave(const char *bytes, int frames, std::int16_t *out, int stride) const {
    const int channels = channelCount();
    for (int f = 0; f < frames; ++f) {
        const char *frame = bytes + static_cast<std::ptrdiff_t>(f) * frameBytes_;
        for (int c = 0; c < channels; ++c)
            out[static_cast<std::size_t>(c) * stride + f] = qFromLittleEndian<qint16>(frame + 2 * c);
    }
}

const FileSignal::FrameBlock *FileSignal::frameBlock(std::int64_t block) const {
    auto found = blockIndex_.find(block);
    if (found != blockIndex_.end()) {
        blocks_.splice(blocks_.begin(), blocks_, found->second);
        return &blocks_.front();
    }
    const std::int64_t bytes = static_cast<std::int64_t>(BlockSize) * frameBytes_;
    readBuffer_.resize(static_cast<int>(bytes));
    const std::int64_t offset = file_.headerSize() + block * bytes;
    // A full block is whole on disk by definition; a short read is a read
    // error, and zeros from it must not be cached as if they were samples.
    if (file_.readAt(offset, readBuffer_.data(), bytes) != bytes) return nullptr;

    if (blocks_.size() >= cachedFrameBlocks_) {
        // Reuse the least recently used entry's storage.
        blockIndex_.erase(blocks_.back().block);
        blocks_.splice(blocks_.begin(), blocks_, std::prev(blocks_.end()));
    } else {
        blocks_.emplace_front();
        blocks_.front().samples.resize(static_cast<std::size_t>(BlockSize) * channelCount());
    }
    FrameBlock &entry = blocks_.front();
    entry.block = block;
    deinterleave(readBuffer_.constData(), BlockSize, entry.samples.data(), BlockSize);
    blockIndex_[block] = blocks_.begin();
    return &entry;
}

bool FileSignal::loadTail(std::int64_t index) const {
    // Centre the window on the read, but keep it inside the data so reads
    // walking towards the end of the file stay in memory.
    std::int64_t start = std::max<std::int64_t>(0, index - TailFrames / 2);
    if (start + TailFrames > length()) start = std::max<std::int64_t>(0, length() - TailFrames);
    const std::int64_t frames = std::min<std::int64_t>(TailFrames, length() - start);

    if (tail_.empty()) tail_.resize(static_cast<std::size_t>(TailFrames) * channelCount());
    readBuffer_.resize(static_cast<int>(frames * frameBytes_));
    const std::int64_t got =
        file_.readAt(file_.headerSize() + start * frameBytes_, readBuffer_.data(), frames * frameBytes_) / frameBytes_;
    deinterleave(readBuffer_.constData(), static_cast<int>(got), tail_.data(), TailFrames);
    // The window claims only the frames really read, so it never serves
    // zeros for frames that were not yet (or could not be) read.
    tailStart_ = start;
    tailCount_ = static_cast<int>(got);
    return index >= tailStart_ && index < tailStart_ + tailCount_;
}

const std::int16_t *FileSignal::locate(int channel, std::int64_t index, std::int64_t &runEnd) const {
    const std::int64_t fullEnd = blockCount() * BlockSize;
    if (index < fullEnd) {
        const std::int64_t block = index / BlockSize;
        runEnd = (block + 1) * BlockSize;
        const FrameBlock *entry = frameBlock(block);
        if (!entry) return nullptr;
        return entry->samples.data() + static_cast<std::size_t>(channel) * BlockSize + (index - block * BlockSize);
    }
    const bool inWindow = tailCount_ > 0 && index >= tailStart_ && index < tailStart_ + tailCount_;
    if (!inWindow && !loadTail(index)) {
        runEnd = length();
        return nullptr;
    }
    runEnd = tailStart_ + tailCount_;
    return tail_.data() + static_cast<std::size_t>(channel) * TailFrames + (index - tailStart_);
}

int FileSignal::readSample(int channel, std::int64_t index) const {
    if (channel < 0 || channel >= channelCount() || index < 0 || index >= length()) return 0;
    std::int64_t runEnd = 0;
    const std::int16_t *sample = locate(channel, index, runEnd);
    return sample ? *sample : 0;
}

void FileSignal::readRange(int channel, std::int64_t first, int count, double *destination) const {
    if (count <= 0) return;
    std::fill(destination, destination + count, 0.0);
    if (channel < 0 || channel >= channelCount() || first >= length()) return;
    const std::int64_t lo = std::max<std::int64_t>(first, 0);
    const std::int64_t hi = std::min<std::int64_t>(first + count, length());
    for (std::int64_t i = lo; i < hi;) {
        std::int64_t runEnd = hi;
        const std::int16_t *run = locate(channel, i, runEnd);
        runEnd = std::min(runEnd, hi);
        if (run) {
            double *out = destination + (i - first);
            for (std::int64_t k = 0, n = runEnd - i; k < n; ++k) out[k] = run[k];
        }
        i = runEnd;
    }
}

bool FileSignal::readBlock(int channel, std::int64_t block, std::int16_t *destination) const {
    if (channel < 0 || channel >= channelCount() || block < 0 || block >= blockCount()) return false;
    const FrameBlock *entry = frameBlock(block);
    if (!entry) return false;
    std::memcpy(destination, entry->samples.data() + static_cast<std::size_t>(channel) * BlockSize,
                sizeof(std::int16_t) * BlockSize);
    return true;
}

// ---- appending -------------------------------------------------------------

bool FileSignal::writeFrames(const char *bytes, std::int64_t frames) {
    // Written after the last whole frame rather than at the end of the file:
    // a frame cut short by an earlier failed write is overwritten instead of
    // shifting every later frame onto the wrong channels.
    const std::int64_t offset = file_.headerSize() + length() * frameBytes_;
    if (!file_.writeAt(offset, bytes, frames * frameBytes_)) return false;
    setLength(length() + frames);
    return true;
}

void FileSignal::finishAppend() {
    // The length is what is on disk, whatever the writes reported.
    const std::int64_t onDisk = file_.dataSize();
    const std::int64_t frames = onDisk / frameBytes_;
    if (onDisk % frameBytes_ != 0) file_.truncate(file_.headerSize() + frames * frameBytes_);
    // Frames never change once written, so a grown file leaves every cached
    // block and the tail window valid (the window knows how many frames it
    // read). Only a file that lost frames makes them stale.
    if (frames < length()) dropCaches();
    setLength(frames);
    notifyAppended();
}

bool FileSignal::discardSamples() {
    if (!file_.created() || !file_.discardData()) return false;
    dropCaches();
    setLength(0);
    return true;
}

void FileSignal::dropCaches() const {
    blocks_.clear();
    blockIndex_.clear();
    tailCount_ = 0;
}

template <typename Sample>
void FileSignal::appendChannels(int n, const Sample *const *perChannel) {
    if (n <= 0 || !perChannel || !file_.created()) return;
    const int channels = channelCount();
    QByteArray bytes(std::min(n, AppendChunkFrames) * frameBytes_, Qt::Uninitialized);
    for (int done = 0; done < n;) {
        const int frames = std::min(n - done, AppendChunkFrames);
        char *out = bytes.data();
        for (int k = done; k < done + frames; ++k) {
            for (int c = 0; c < channels; ++c, out += 2) {
                const Sample *samples = perChannel[c];
                std::int16_t v = 0;
                if constexpr (std::is_same<Sample, double>::value)
                    v = samples ? toSample16(samples[k]) : 0;
                else
                    v = samples ? samples[k] : 0;
                qToLittleEndian<qint16>(v, out);
            }
        }
        if (!writeFrames(bytes.constData(), frames)) break;
        done += frames;
    }
    finishAppend();
}

void FileSignal::append(int n, const std::int16_t *const *perChannel) { appendChannels(n, perChannel); }

void FileSignal::append(int n, const double *const *perChannel) { appendChannels(n, perChannel); }

void FileSignal::appendInterleaved16(const char *data, int byteLength) {
    if (!data || !file_.created()) return;
    const int frames = byteLength / frameBytes_;  // a trailing partial frame is not a sample
    if (frames <= 0) return;
    writeFrames(data, frames);
    finishAppend();
}

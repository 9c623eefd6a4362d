#include "analysis/SignalBuffer.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <stdexcept>

template <typename Sample>
RingSignalBuffer<Sample>::RingSignalBuffer(int blockSize, int capacity, int channelCount, int samplingRate)
    : SignalSource(channelCount, samplingRate, blockSize), capacity_(capacity) {
    if (capacity <= 0) throw std::invalid_argument("Invalid ring capacity");
    setResolutionBits(std::is_same<Sample, double>::value ? 64 : 16);
    rings_.assign(static_cast<std::size_t>(channelCount) * capacity, Sample(0));
}

template <typename Sample>
Sample RingSignalBuffer<Sample>::fromDouble(double v) {
    if constexpr (std::is_same<Sample, double>::value)
        return v;
    else
        return toSample16(v);
}

template <typename Sample>
int RingSignalBuffer<Sample>::readSample(int channel, std::int64_t index) const {
    if (channel < 0 || channel >= channelCount() || !held(index)) return 0;
    if constexpr (std::is_same<Sample, double>::value) {
        const double v = std::trunc(at(channel, index));
        if (!(v == v)) return 0;
        return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
    } else {
        return at(channel, index);
    }
}

template <typename Sample>
double RingSignalBuffer<Sample>::readValue(int channel, std::int64_t index) const {
    if (channel < 0 || channel >= channelCount() || !held(index)) return 0.0;
    return static_cast<double>(at(channel, index));
}

template <typename Sample>
void RingSignalBuffer<Sample>::readRange(int channel, std::int64_t first, int count, double *destination) const {
    if (count <= 0) return;
    if (channel < 0 || channel >= channelCount()) {
        std::fill(destination, destination + count, 0.0);
        return;
    }
    const std::int64_t lo = std::max(first, firstHeld());
    const std::int64_t hi = std::min(first + count, length());
    if (lo >= hi) {
        std::fill(destination, destination + count, 0.0);
        return;
    }
    std::fill(destination, destination + (lo - first), 0.0);
    const Sample *ring = &rings_[static_cast<std::size_t>(channel) * capacity_];
    // Copy in at most two contiguous runs of the ring.
    std::int64_t i = lo;
    double *out = destination + (lo - first);
    while (i < hi) {
        const std::int64_t pos = i % capacity_;
        const std::int64_t run = std::min<std::int64_t>(hi - i, capacity_ - pos);
        for (std::int64_t k = 0; k < run; ++k) out[k] = static_cast<double>(ring[pos + k]);
        out += run;
        i += run;
    }
    std::fill(destination + (hi - first), destination + count, 0.0);
}

template <typename Sample>
bool RingSignalBuffer<Sample>::readBlock(int channel, std::int64_t block, std::int16_t *destination) const {
    if (channel < 0 || channel >= channelCount() || block < 0 || block >= blockCount()) return false;
    const std::int64_t first = block * blockSize();
    for (int k = 0; k < blockSize(); ++k) {
        const std::int64_t i = first + k;
        destination[k] = held(i) ? toSample16(static_cast<double>(at(channel, i))) : 0;
    }
    return true;
}

template <typename Sample>
void RingSignalBuffer<Sample>::append(int n, const std::int16_t *const *perChannel) {
    if (n <= 0) return;
    const std::int64_t start = length();
    for (int c = 0; c < channelCount(); ++c)
        for (int k = 0; k < n; ++k) at(c, start + k) = static_cast<Sample>(perChannel[c][k]);
    advanceLength(n);
    notifyAppended();
}

template <typename Sample>
void RingSignalBuffer<Sample>::appendInterleaved16(const char *data, int byteLength) {
    const int frameBytes = 2 * channelCount();
    if (frameBytes == 0) return;
    const int n = byteLength / frameBytes;  // a trailing partial frame is not a sample
    if (n <= 0) return;
    const std::int64_t start = length();
    for (int k = 0; k < n; ++k) {
        const char *frame = data + static_cast<std::ptrdiff_t>(k) * frameBytes;
        for (int c = 0; c < channelCount(); ++c)
            at(c, start + k) = static_cast<Sample>(qFromLittleEndian<qint16>(frame + 2 * c));
    }
    advanceLength(n);
    notifyAppended();
}

template <typename Sample>
void RingSignalBuffer<Sample>::append(int n, const double *const *perChannel) {
    if (n <= 0) return;
    const std::int64_t start = length();
    for (int c = 0; c < channelCount(); ++c)
        for (int k = 0; k < n; ++k) at(c, start + k) = fromDouble(perChannel[c][k]);
    advanceLength(n);
    notifyAppended();
}

template <typename Sample>
void RingSignalBuffer<Sample>::appendFrame(const Sample *frame) {
    const std::int64_t i = length();
    for (int c = 0; c < channelCount(); ++c) at(c, i) = frame[c];
    advanceLength(1);
}

template <typename Sample>
void RingSignalBuffer<Sample>::startAt(std::int64_t index) {
    if (length() != 0) throw std::logic_error("A ring can only be started while empty");
    if (index < 0) throw std::invalid_argument("Negative start index");
    setLength(index);  // the rings are still all zeros, so earlier indexes read as 0
}

template class RingSignalBuffer<std::int16_t>;
template class RingSignalBuffer<double>;

#pragma once
// The multi-channel signal abstraction every sample store, filter stage and
// signal file implements: reads by channel and absolute sample index, block
// reads, appends, and listeners told after each append.

#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>
#include <memory>
#include <vector>

class SignalSource;

// One channel of a source: its index, its owner and its name (the lead label).
class SignalChannel {
public:
    SignalChannel(int index, SignalSource *source, const QString &name = QString())
        : index_(index), source_(source), name_(name) {}
    int index() const { return index_; }
    SignalSource *source() const { return source_; }
    const QString &name() const { return name_; }
    void setName(const QString &name) { name_ = name; }

private:
    int index_;
    SignalSource *source_;
    QString name_;
};

// Told after every append to a source it listens to, on the thread that
// appended (always the user-interface thread in this program).
class SignalListener {
public:
    virtual ~SignalListener() = default;
    virtual void samplesAppended(SignalSource &source) = 0;
};

using SampleBlock = std::unique_ptr<std::int16_t[]>;

class SignalSource {
public:
    SignalSource(int channelCount, int samplingRate, int blockSize);
    virtual ~SignalSource();
    SignalSource(const SignalSource &) = delete;
    SignalSource &operator=(const SignalSource &) = delete;

    int channelCount() const { return static_cast<int>(channels_.size()); }
    const SignalChannel &channel(int index) const { return channels_.at(index); }
    QString channelName(int index) const;
    void setChannelName(int index, const QString &name);
    void setChannelNames(const QStringList &names);
    QStringList channelNames() const;

    int samplingRate() const { return samplingRate_; }
    int blockSize() const { return blockSize_; }
    // Samples appended so far per channel; never decreases, even when the
    // oldest samples are no longer held.
    std::int64_t length() const { return length_; }
    std::int64_t blockCount() const { return length_ / blockSize_; }

    double amplitudeMin() const { return amplitudeMin_; }
    double amplitudeMax() const { return amplitudeMax_; }
    int resolutionBits() const { return resolutionBits_; }
    void setAmplitudeRange(double minimum, double maximum) {
        amplitudeMin_ = minimum;
        amplitudeMax_ = maximum;
    }
    void setResolutionBits(int bits) { resolutionBits_ = bits; }
    // Physical value of one sample unit: (max - min) / 2^bits.
    double unitValue() const;
    // Copies rate-independent metadata (range, bits, names) from another source.
    void copyMetadataFrom(const SignalSource &other);

    void addListener(SignalListener *listener);
    void removeListener(SignalListener *listener);

    // 0 for an index below 0, at or beyond the length, or no longer held.
    virtual int readSample(int channel, std::int64_t index) const = 0;
    // Copies `count` samples from `first` as doubles; 0 for every index not held.
    virtual void readRange(int channel, std::int64_t first, int count, double *destination) const = 0;
    // Fills `destination` with block `block` of a channel (blockSize samples).
    // False, leaving it untouched, when the block is at or beyond blockCount();
    // samples no longer held read as 0.
    virtual bool readBlock(int channel, std::int64_t block, std::int16_t *destination) const = 0;
    // A newly allocated copy of one block, or null past the last full block.
    SampleBlock getBlock(int channel, std::int64_t block) const;
    // Tells the source that these channels of samples first .. first+count-1
    // are about to be read. A view that computes its samples may compute them
    // together now, which costs less than one channel at a time; what is
    // read afterwards is the same either way.
    virtual void prepareRange(const std::vector<int> &channels, std::int64_t first, std::int64_t count) const {
        (void)channels;
        (void)first;
        (void)count;
    }

    // Append operations: store the samples, raise the length, then notify.
    // `perChannel[c]` points at n samples of channel c.
    virtual void append(int n, const std::int16_t *const *perChannel) = 0;
    // Whole frames of little-endian 16-bit samples, one per channel in order.
    virtual void appendInterleaved16(const char *data, int byteLength) = 0;
    virtual void append(int n, const double *const *perChannel) = 0;

    // Narrows a double to a 16-bit sample: truncation toward zero, saturated at
    // the 16-bit limits (a wrapped value would turn a large deflection into a
    // full-scale spike of the opposite sign).
    static std::int16_t toSample16(double value) {
        if (!(value == value)) return 0;  // NaN
        if (value >= 32767.0) return 32767;
        if (value <= -32768.0) return -32768;
        return static_cast<std::int16_t>(value);  // the conversion truncates toward zero
    }

protected:
    void advanceLength(std::int64_t appended) { length_ += appended; }
    void setLength(std::int64_t length) { length_ = length; }
    void notifyAppended();

private:
    std::vector<SignalChannel> channels_;
    int samplingRate_;
    int blockSize_;
    std::int64_t length_ = 0;
    double amplitudeMin_ = -1.0;
    double amplitudeMax_ = 1.0;
    int resolutionBits_ = 16;
    std::vector<SignalListener *> listeners_;
    int notifying_ = 0;
};

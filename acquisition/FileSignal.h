#pragma once
// A signal kept in a recording file: a header, then frames of little-endian
// 16-bit samples (one per channel) appended as they arrive; reads are served
// from a bounded cache of full blocks and a window over the unfinished tail.

#include "acquisition/HeaderedFile.h"
#include "analysis/SignalSource.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <list>
#include <unordered_map>
#include <vector>

class FileSignal : public SignalSource {
public:
    static constexpr int BlockSize = 4096;
    static constexpr std::int64_t StudyHeaderSize = 4096;
    // Frames held around a read beyond the last full block.
    static constexpr int TailFrames = 16384;
    // Bound of the block cache in blocks of one channel (8 KiB each).
    static constexpr int CachedChannelBlocks = 384;

    // With `create`, creates or truncates the file and writes a zero header;
    // otherwise opens an existing file with `access`, its length from its size.
    // Throws std::runtime_error "Cannot create file" / "Cannot open file".
    FileSignal(const QString &path, int channelCount, int samplingRate, std::int64_t headerSize, bool create,
               HeaderedFile::Access access = HeaderedFile::Access::ReadWrite);
    ~FileSignal() override;

    QString path() const { return file_.path(); }
    std::int64_t headerSize() const { return file_.headerSize(); }
    // True when this object created the file; only then do appends write.
    bool isWritable() const { return file_.created(); }

    // Writes min(size, headerSize) bytes of `data` at offset 0, zero-padded to
    // the header size. False when the write failed.
    bool writeHeader(const char *data, std::int64_t size);
    bool writeHeader(const QByteArray &data) { return writeHeader(data.constData(), data.size()); }

    // Drops every sample (a recording taken again): the file keeps its
    // header, the length is 0 and an earlier write error is forgotten. False
    // when the file could not be cut; it then keeps what it had.
    bool discardSamples();

    bool hasWriteError() const { return file_.hasWriteError(); }
    QString writeErrorString() const { return file_.writeErrorString(); }

    int readSample(int channel, std::int64_t index) const override;
    void readRange(int channel, std::int64_t first, int count, double *destination) const override;
    bool readBlock(int channel, std::int64_t block, std::int16_t *destination) const override;

    void append(int n, const std::int16_t *const *perChannel) override;
    void appendInterleaved16(const char *data, int byteLength) override;
    void append(int n, const double *const *perChannel) override;

private:
    // Every channel of one block, channel-major, de-interleaved on loading.
    struct FrameBlock {
        std::int64_t block = -1;
        std::vector<std::int16_t> samples;
    };

    // Where sample `index` of `channel` (0 <= index < length) is held in
    // memory, loading it if needed; `runEnd` receives the first index past the
    // contiguous run that starts there. Null when the file could not be read.
    const std::int16_t *locate(int channel, std::int64_t index, std::int64_t &runEnd) const;
    const FrameBlock *frameBlock(std::int64_t block) const;
    bool loadTail(std::int64_t index) const;
    void deinterleave(const char *bytes, int frames, std::int16_t *out, int stride) const;

    template <typename Sample>
    void appendChannels(int n, const Sample *const *perChannel);
    // Writes whole frames after the last whole frame on disk. False on failure.
    bool writeFrames(const char *bytes, std::int64_t frames);
    void finishAppend();
    void dropCaches() const;

    HeaderedFile file_;
    int frameBytes_;
    std::size_t cachedFrameBlocks_;
    mutable std::list<FrameBlock> blocks_;  // most recently used first
    mutable std::unordered_map<std::int64_t, std::list<FrameBlock>::iterator> blockIndex_;
    mutable std::vector<std::int16_t> tail_;  // channel-major, TailFrames per channel
    mutable std::int64_t tailStart_ = 0;
    mutable int tailCount_ = 0;
    mutable QByteArray readBuffer_;
};

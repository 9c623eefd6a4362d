#pragma once
// Compresses one archive entry with libdeflate into a single raw deflate
// stream that any zip reader inflates. libdeflate only works on whole
// buffers, so the entry is compressed in fixed-size segments, each one joined
// to the next with an empty stored block: memory stays bounded whatever the
// size of the recording, and the CRC and size the zip headers need are kept
// as the bytes pass. Segments are independent, so up to `parallelSegments`
// of them are compressed at once on worker threads; their output reaches the
// sink in order, on the calling thread. Every segment is inflated again and
// compared with its input before it is delivered.
//
//     ZipEntryDeflater deflater([&](const char *d, size_t n) { store(d, n); });
//     deflater.write(chunk, size);   // as often as needed
//     deflater.finish();             // then crc() and size() describe the entry

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <vector>

class ZipEntryDeflater {
public:
    // Receives compressed bytes in stream order.
    using Sink = std::function<void(const char *data, std::size_t size)>;

    // zlib's default level, which the archives have always used.
    static constexpr int level = 6;
    // Large enough that restarting the 32 KiB history costs nothing
    // measurable, small enough to stay a few MiB of memory.
    static constexpr std::size_t segmentSize = std::size_t(1) << 20;
    // Two workers keep a two-core workstation busy; more buys memory, not
    // speed, on the machines practices use.
    static constexpr std::size_t parallelSegments = 2;

    explicit ZipEntryDeflater(Sink sink, std::size_t segment = segmentSize);
    // Waits for segments still being compressed; their output is dropped.
    ~ZipEntryDeflater();
    ZipEntryDeflater(const ZipEntryDeflater &) = delete;
    ZipEntryDeflater &operator=(const ZipEntryDeflater &) = delete;

    // Both throw "Cannot write data in zip file" when compression fails or
    // a segment does not inflate back to its input.
    void write(const char *data, std::size_t size);
    // Ends the stream; nothing may be written after it.
    void finish();

    std::uint32_t crc() const { return crc_; }
    std::uint64_t size() const { return size_; }

private:
    void startSegment(bool last);
    void deliverOldest();

    Sink sink_;
    std::size_t segment_;
    std::vector<char> input_;
    std::deque<std::future<std::vector<unsigned char>>> pending_;
    std::uint32_t crc_ = 0;
    std::uint64_t size_ = 0;
    bool finished_ = false;
};

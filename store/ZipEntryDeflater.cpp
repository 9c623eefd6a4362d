#include "store/ZipEntryDeflater.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

[[noreturn]] void writeFailed() { throw std::runtime_error("Cannot write data in zip file"); }

// Where a complete deflate stream's last block starts and how many padding
// bits fill its final byte, found by inflating it block by block (zlib stops
// at each block boundary with Z_BLOCK). The inflated bytes are compared with
// the segment's input, so an archive never holds a stream that does not give
// back the study's bytes.
struct FinalBlock {
    std::size_t headerByte = 0;
    unsigned headerMask = 1;
    unsigned paddingBits = 0;
};

FinalBlock checkAndLocateFinalBlock(unsigned char *stream, std::size_t size, const std::vector<char> &input) {
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) writeFailed();
    z.next_in = stream;
    z.avail_in = static_cast<uInt>(size);
    unsigned char sink[65536];
    std::size_t decoded = 0;
    FinalBlock final;
    bool ended = false, same = true;
    while (!ended && same) {
        z.next_out = sink;
        z.avail_out = sizeof sink;
        const int result = inflate(&z, Z_BLOCK);
        if (result != Z_OK) break;
        const std::size_t produced = sizeof sink - z.avail_out;
        same = produced <= input.size() - decoded &&
               std::equal(sink, sink + produced, input.begin() + decoded,
                          [](unsigned char a, char b) { return a == static_cast<unsigned char>(b); });
        decoded += produced;
        if ((z.data_type & 128) == 0) continue;
        const unsigned unusedBits = static_cast<unsigned>(z.data_type & 7);
        const std::size_t consumed = size - z.avail_in;
        if (z.data_type & 64) {
            final.paddingBits = unusedBits;
            ended = z.avail_in == 0;
            break;
        }
        // The next block's header starts right after the bits just used.
        if (unusedBits != 0) {
            final.headerByte = consumed - 1;
            final.headerMask = 0x100u >> unusedBits;
        } else {
            final.headerByte = consumed;
            final.headerMask = 1;
        }
    }
    inflateEnd(&z);
    if (!ended || !same || decoded != input.size()) writeFailed();
    return final;
}

// One segment as a raw deflate stream; unless it is the last, ended so the
// next segment's stream can follow it: libdeflate always marks its last block
// final, so that flag is cleared and the stream closed on a byte boundary
// with an empty stored block (header bits 000, LEN 0, NLEN 0xFFFF).
std::vector<unsigned char> compressSegment(const std::vector<char> &input, bool last) {
    libdeflate_compressor *compressor = libdeflate_alloc_compressor(ZipEntryDeflater::level);
    if (!compressor) throw std::bad_alloc();
    std::vector<unsigned char> output(libdeflate_deflate_compress_bound(compressor, input.size()) + 5);
    std::size_t produced =
        libdeflate_deflate_compress(compressor, input.data(), input.size(), output.data(), output.size());
    libdeflate_free_compressor(compressor);
    if (produced == 0) writeFailed();
    const FinalBlock final = checkAndLocateFinalBlock(output.data(), produced, input);
    if (!last) {
        output[final.headerByte] &= static_cast<unsigned char>(~final.headerMask);
        output[produced - 1] &= static_cast<unsigned char>(0xFFu >> final.paddingBits);
        if (final.paddingBits < 3) output[produced++] = 0x00;
        for (unsigned char byte : {0x00, 0x00, 0xFF, 0xFF}) output[produced++] = byte;
    }
    output.resize(produced);
    return output;
}

}  // namespace

ZipEntryDeflater::ZipEntryDeflater(Sink sink, std::size_t segment)
    : sink_(std::move(sink)), segment_(std::max<std::size_t>(segment, 1)) {
    input_.reserve(segment_);
    crc_ = libdeflate_crc32(0, nullptr, 0);
}

ZipEntryDeflater::~ZipEntryDeflater() {
    for (auto &segment : pending_) segment.wait();
}

void ZipEntryDeflater::write(const char *data, std::size_t size) {
    if (finished_) writeFailed();
    crc_ = libdeflate_crc32(crc_, data, size);
    size_ += size;
    while (size > 0) {
        // A full segment is compressed only once more input arrives, so the
        // last one is always the one finish() marks final.
        if (input_.size() == segment_) startSegment(false);
        const std::size_t take = std::min(size, segment_ - input_.size());
        input_.insert(input_.end(), data, data + take);
        data += take;
        size -= take;
    }
}

void ZipEntryDeflater::finish() {
    if (finished_) return;
    finished_ = true;
    startSegment(true);
    while (!pending_.empty()) deliverOldest();
}

void ZipEntryDeflater::startSegment(bool last) {
    while (pending_.size() >= parallelSegments) deliverOldest();
    std::vector<char> segment;
    segment.reserve(segment_);
    segment.swap(input_);
    pending_.push_back(std::async(std::launch::async,
                                  [segment = std::move(segment), last] { return compressSegment(segment, last); }));
}

void ZipEntryDeflater::deliverOldest() {
    std::future<std::vector<unsigned char>> oldest = std::move(pending_.front());
    pending_.pop_front();
    const std::vector<unsigned char> output = oldest.get();  // rethrows a failed segment
    sink_(reinterpret_cast<const char *>(output.data()), output.size());
}

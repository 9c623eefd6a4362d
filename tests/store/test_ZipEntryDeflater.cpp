// Entries compressed in segments must still be one deflate stream that an
// independent inflater decodes to the exact input, with the CRC and size the
// zip headers will carry, however the input is cut and wherever the segment
// seams fall (each seam lands on a different bit position of its byte).
#include "ZipTestParser.h"
#include "ZipTestSupport.h"
#include "store/ZipEntryDeflater.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ZipTest;

namespace {

struct Case {
    const char *label;
    QByteArray content;
    std::size_t segment;
    int writeSize;  // how the caller feeds it
};

QByteArray mixed(int size) {
    // Signal runs broken by noise, so segments end in every kind of block.
    QByteArray bytes;
    std::uint32_t seed = 7;
    while (bytes.size() < size) {
        bytes += signalBytes(3000 + int(seed % 5000));
        bytes += randomBytes(int(seed % 700), seed);
        seed = seed * 1103515245u + 12345u;
    }
    return bytes.left(size);
}

QByteArray deflated(const Case &c, std::uint32_t &crc, std::uint64_t &size) {
    QByteArray out;
    ZipEntryDeflater deflater([&out](const char *d, std::size_t n) { out.append(d, int(n)); }, c.segment);
    for (int at = 0; at < c.content.size(); at += c.writeSize)
        deflater.write(c.content.constData() + at, std::size_t(std::min(c.writeSize, int(c.content.size()) - at)));
    deflater.finish();
    crc = deflater.crc();
    size = deflater.size();
    return out;
}

TEST(ZipEntryDeflaterTest, SegmentedStreamInflatesToTheInput) {
    const std::vector<Case> cases = {
        {"empty", QByteArray(), 4096, 1},
        {"one byte", QByteArray(1, 'x'), 4096, 1},
        {"exactly one segment", signalBytes(4096), 4096, 4096},
        {"one segment and one byte", signalBytes(4097), 4096, 4096},
        {"exactly two segments fed bytewise", signalBytes(8192), 4096, 1},
        {"noise over many small segments", randomBytes(50000, 3), 1000, 333},
        {"signal over many small segments", signalBytes(200001), 1777, 4096},
        {"mixed over odd segments", mixed(300000), 2999, 65536},
        {"mixed, default segment", mixed(3 * 1024 * 1024 + 5), ZipEntryDeflater::segmentSize, 32768},
        {"zeros compress to almost nothing", QByteArray(100000, '\0'), 10000, 32768},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        std::uint32_t crc = 0;
        std::uint64_t size = 0;
        const QByteArray stream = deflated(c, crc, size);
        EXPECT_EQ(inflateRaw(stream, c.content.size()), c.content);
        EXPECT_EQ(crc, crcOf(c.content));
        EXPECT_EQ(size, std::uint64_t(c.content.size()));
    }
}

TEST(ZipEntryDeflaterTest, SignalIsCompressedAsWellAsZlibDoesAtTheSameLevel) {
    // Segmenting must not cost the ratio: the recording is what fills archives.
    const QByteArray signal = signalBytes(4 * 1024 * 1024);
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    const QByteArray ours = deflated({"signal", signal, ZipEntryDeflater::segmentSize, 32768}, crc, size);
    const QByteArray zlib = deflateRaw(signal);
    EXPECT_LT(double(ours.size()), 1.05 * double(zlib.size())) << ours.size() << " against " << zlib.size();
}

TEST(ZipEntryDeflaterTest, WritingAfterTheEndIsRefused) {
    ZipEntryDeflater deflater([](const char *, std::size_t) {});
    deflater.write("abc", 3);
    deflater.finish();
    EXPECT_THROW(deflater.write("d", 1), std::runtime_error);
}

}  // namespace

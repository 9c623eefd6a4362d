#pragma once
// An independent zip writer for hostile archives: written from the zip
// format itself (local headers, central directory, end record), so a test
// can declare sizes and checksums the data does not have, and build
// "zip bombs" of gigabytes from a few megabytes without inflating them.

#include "ZipTestParser.h"

#include <QByteArray>
#include <QString>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace ZipTest {

struct RawEntry {
    QByteArray name;
    QByteArray deflated;     // raw deflate data as stored
    std::uint32_t crc = 0;   // of the inflated bytes
    std::uint32_t size = 0;  // declared inflated size
};

// An entry whose declared size and checksum are those of `data`.
inline RawEntry entry(const char *name, const QByteArray &data) {
    return {QByteArray(name), deflateRaw(data), crcOf(data), std::uint32_t(data.size())};
}

// Raw deflate of `prefix` followed by `zeroMiB` MiB of zero bytes, and the
// checksum of the whole: each piece ends on a full flush, so a piece of 1 MiB
// of zeros (about 1 KB) is repeated as often as needed, never compressed again.
inline RawEntry zeroBomb(const char *name, const QByteArray &prefix, std::uint32_t zeroMiB) {
    auto piece = [](const QByteArray &data, int flush) {
        z_stream s{};
        deflateInit2(&s, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        QByteArray out(int(deflateBound(&s, uLong(data.size()))) + 64, '\0');
        s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
        s.avail_in = uInt(data.size());
        s.next_out = reinterpret_cast<Bytef *>(out.data());
        s.avail_out = uInt(out.size());
        deflate(&s, flush);
        out.resize(int(s.total_out));
        deflateEnd(&s);
        return out;
    };
    const QByteArray mib(1 << 20, '\0');
    const QByteArray zeroPiece = piece(mib, Z_FULL_FLUSH);
    RawEntry e;
    e.name = name;
    e.deflated = piece(prefix, Z_FULL_FLUSH);
    e.deflated.reserve(e.deflated.size() + int(zeroMiB) * zeroPiece.size() + 16);
    const uLong mibCrc = crc32(0L, reinterpret_cast<const Bytef *>(mib.constData()), uInt(mib.size()));
    uLong crc = crcOf(prefix);
    for (std::uint32_t i = 0; i < zeroMiB; ++i) {
        e.deflated += zeroPiece;
        crc = crc32_combine(crc, mibCrc, mib.size());
    }
    e.deflated += piece(QByteArray(), Z_FINISH);  // the final, empty block
    e.crc = std::uint32_t(crc);
    e.size = std::uint32_t(prefix.size() + qint64(zeroMiB) * mib.size());
    return e;
}

// The whole archive: deflated entries in the given order, then the central
// directory and the end record carrying `comment`.
inline QByteArray zipArchive(const std::vector<RawEntry> &entries, const QByteArray &comment = "HXZIP1") {
    QByteArray out;
    QByteArray directory;
    for (const RawEntry &e : entries) {
        const std::uint32_t offset = std::uint32_t(out.size());
        QByteArray local(30, '\0');
        putLe32(local, 0, 0x04034b50u);
        putLe16(local, 4, 20);
        putLe16(local, 8, 8);  // deflate
        putLe32(local, 14, e.crc);
        putLe32(local, 18, std::uint32_t(e.deflated.size()));
        putLe32(local, 22, e.size);
        putLe16(local, 26, std::uint16_t(e.name.size()));
        out += local + e.name + e.deflated;

        QByteArray central(46, '\0');
        putLe32(central, 0, 0x02014b50u);
        putLe16(central, 4, 20);
        putLe16(central, 6, 20);
        putLe16(central, 10, 8);
        putLe32(central, 16, e.crc);
        putLe32(central, 20, std::uint32_t(e.deflated.size()));
        putLe32(central, 24, e.size);
        putLe16(central, 28, std::uint16_t(e.name.size()));
        putLe32(central, 42, offset);
        directory += central + e.name;
    }
    QByteArray end(22, '\0');
    putLe32(end, 0, 0x06054b50u);
    putLe16(end, 8, std::uint16_t(entries.size()));
    putLe16(end, 10, std::uint16_t(entries.size()));
    putLe32(end, 12, std::uint32_t(directory.size()));
    putLe32(end, 16, std::uint32_t(out.size()));
    putLe16(end, 20, std::uint16_t(comment.size()));
    return out + directory + end + comment;
}

}  // namespace ZipTest

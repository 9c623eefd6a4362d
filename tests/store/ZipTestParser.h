#pragma once
// An independent reading of a zip archive's records, written from the zip
// format itself, so the tests check the bytes the archive classes produce
// without going through minizip.

#include "ZipTestSupport.h"

#include <QByteArray>
#include <QString>
#include <zlib.h>

#include <cstdint>
#include <vector>

namespace ZipTest {

struct EntryRecord {
    // From the central directory.
    QByteArray name;
    std::uint16_t versionNeeded = 0, flags = 0, method = 0, time = 0, date = 0;
    std::uint32_t crc = 0, compressedSize = 0, size = 0;
    std::uint16_t extraLength = 0, commentLength = 0, diskStart = 0;
    std::uint32_t localOffset = 0;
    // From the local header.
    std::uint32_t localSignature = 0;
    std::uint16_t localVersionNeeded = 0, localFlags = 0, localMethod = 0, localTime = 0, localDate = 0;
    std::uint32_t localCrc = 0, localCompressedSize = 0, localSize = 0;
    QByteArray localName;
    std::uint16_t localExtraLength = 0;
    qint64 dataOffset = 0;
};

struct ArchiveRecords {
    qint64 endOffset = 0;
    std::uint16_t disk = 0, directoryDisk = 0, entriesOnDisk = 0, entries = 0;
    std::uint32_t directorySize = 0, directoryOffset = 0;
    QByteArray comment;
    std::vector<EntryRecord> records;
};

// The end record is the last "PK\5\6" whose comment runs exactly to the end.
inline ArchiveRecords parseArchive(const QByteArray &bytes) {
    ArchiveRecords a;
    a.endOffset = -1;
    for (qint64 at = bytes.size() - 22; at >= 0; --at)
        if (le32(bytes, at) == 0x06054b50u && at + 22 + le16(bytes, at + 20) == bytes.size()) {
            a.endOffset = at;
            break;
        }
    if (a.endOffset < 0) {
        ADD_FAILURE() << "no end of central directory record";
        return a;
    }
    const qint64 e = a.endOffset;
    a.disk = le16(bytes, e + 4);
    a.directoryDisk = le16(bytes, e + 6);
    a.entriesOnDisk = le16(bytes, e + 8);
    a.entries = le16(bytes, e + 10);
    a.directorySize = le32(bytes, e + 12);
    a.directoryOffset = le32(bytes, e + 16);
    a.comment = bytes.mid(int(e + 22), le16(bytes, e + 20));

    qint64 at = a.directoryOffset;
    for (int i = 0; i < a.entries; ++i) {
        if (at + 46 > bytes.size() || le32(bytes, at) != 0x02014b50u) {
            ADD_FAILURE() << "central directory header " << i << " missing";
            return a;
        }
        EntryRecord r;
        r.versionNeeded = le16(bytes, at + 6);
        r.flags = le16(bytes, at + 8);
        r.method = le16(bytes, at + 10);
        r.time = le16(bytes, at + 12);
        r.date = le16(bytes, at + 14);
        r.crc = le32(bytes, at + 16);
        r.compressedSize = le32(bytes, at + 20);
        r.size = le32(bytes, at + 24);
        const std::uint16_t nameLength = le16(bytes, at + 28);
        r.extraLength = le16(bytes, at + 30);
        r.commentLength = le16(bytes, at + 32);
        r.diskStart = le16(bytes, at + 34);
        r.localOffset = le32(bytes, at + 42);
        r.name = bytes.mid(int(at + 46), nameLength);
        at += 46 + nameLength + r.extraLength + r.commentLength;

        const qint64 l = r.localOffset;
        r.localSignature = le32(bytes, l);
        r.localVersionNeeded = le16(bytes, l + 4);
        r.localFlags = le16(bytes, l + 6);
        r.localMethod = le16(bytes, l + 8);
        r.localTime = le16(bytes, l + 10);
        r.localDate = le16(bytes, l + 12);
        r.localCrc = le32(bytes, l + 14);
        r.localCompressedSize = le32(bytes, l + 18);
        r.localSize = le32(bytes, l + 22);
        const std::uint16_t localNameLength = le16(bytes, l + 26);
        r.localExtraLength = le16(bytes, l + 28);
        r.localName = bytes.mid(int(l + 30), localNameLength);
        r.dataOffset = l + 30 + localNameLength + r.localExtraLength;
        a.records.push_back(r);
    }
    if (at != qint64(a.directoryOffset) + a.directorySize)
        ADD_FAILURE() << "central directory size does not match its headers";
    return a;
}

// Raw deflate decoding with zlib; empty result and a failure on bad data.
inline QByteArray inflateRaw(const QByteArray &compressed, qint64 expectedSize) {
    z_stream s{};
    if (inflateInit2(&s, -MAX_WBITS) != Z_OK) {
        ADD_FAILURE() << "inflateInit2";
        return {};
    }
    QByteArray out(int(expectedSize) + 1, '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData()));
    s.avail_in = static_cast<uInt>(compressed.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&s, Z_FINISH);
    EXPECT_EQ(result, Z_STREAM_END) << "deflate stream does not end where it should";
    EXPECT_EQ(s.avail_in, 0u) << "bytes left after the deflate stream";
    out.resize(int(s.total_out));
    inflateEnd(&s);
    return out;
}

// Raw deflate at zlib's default level, as the archive must hold it.
inline QByteArray deflateRaw(const QByteArray &data) {
    z_stream s{};
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        ADD_FAILURE() << "deflateInit2";
        return {};
    }
    QByteArray out(int(deflateBound(&s, uLong(data.size()))), '\0');
    s.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    s.avail_in = static_cast<uInt>(data.size());
    s.next_out = reinterpret_cast<Bytef *>(out.data());
    s.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&s, Z_FINISH), Z_STREAM_END);
    out.resize(int(s.total_out));
    deflateEnd(&s);
    return out;
}

inline std::uint32_t crcOf(const QByteArray &data) {
    return static_cast<std::uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size())));
}

}  // namespace ZipTest

#pragma once
// Helpers for the zip archive tests: files in and out, reproducible contents,
// and the study-like entries an export writes.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace ZipTest {

inline QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Incompressible bytes: deflate stores them, so their positions are known.
inline QByteArray randomBytes(int size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i) bytes[i] = static_cast<char>(rng() & 0xFF);
    return bytes;
}

// ECG-like 16-bit samples: compressible, as real recordings are.
inline QByteArray signalBytes(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i + 1 < size; i += 2) {
        const auto value = static_cast<std::int16_t>(800.0 * std::sin(i * 0.013) + (i % 97));
        bytes[i] = static_cast<char>(value & 0xFF);
        bytes[i + 1] = static_cast<char>((value >> 8) & 0xFF);
    }
    return bytes;
}

// The four entries of an exported study, in archive order.
inline std::vector<std::pair<QString, QByteArray>> studyEntries() {
    return {
        {QStringLiteral("hxstudy"), QByteArray("HXSTUDY2") + randomBytes(700, 1)},
        {QStringLiteral("hxecg"), QByteArray("HXECG1") + QByteArray(4090, '\0') + signalBytes(40000)},
        {QStringLiteral("hxbeats"), QByteArray("HXBEATS1") + QByteArray(248, '\0') + randomBytes(3 * 296, 2)},
        {QStringLiteral("info"),
         QByteArray(
             "{\"baseFilename\":\"P\xc3\xa9rez_20261208\",\"patient\":{\"firstName\":\"Ana\","
             "\"lastName\":\"P\xc3\xa9rez\"},\"studyDateTime\":\"20261208093000\",\"studyType\":\"Stress test\"}")},
    };
}

inline std::uint16_t le16(const QByteArray &b, qint64 at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[int(at)]) |
                                      (static_cast<std::uint8_t>(b[int(at + 1)]) << 8));
}

inline std::uint32_t le32(const QByteArray &b, qint64 at) {
    return le16(b, at) | (static_cast<std::uint32_t>(le16(b, at + 2)) << 16);
}

inline void putLe16(QByteArray &b, qint64 at, std::uint16_t value) {
    b[int(at)] = static_cast<char>(value & 0xFF);
    b[int(at + 1)] = static_cast<char>(value >> 8);
}

inline void putLe32(QByteArray &b, qint64 at, std::uint32_t value) {
    putLe16(b, at, static_cast<std::uint16_t>(value & 0xFFFF));
    putLe16(b, at + 2, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace ZipTest

#pragma once
// The compressed form of the study file body: a 4-byte big-endian length of
// the text, then a zlib stream (the form qCompress writes and qUncompress reads).

#include <QByteArray>
#include <optional>

namespace StudyCompression {

// zlib cannot expand its input by more than about 1032 to 1, so a declared
// length beyond this multiple of the stream's size is a damaged file, refused
// before anything of that size is allocated.
constexpr qint64 kMaxExpansion = 1032;
// Room for the stream's own header and trailer in very short streams.
constexpr qint64 kExpansionSlack = 64;
// The study document cap (StudyContentCheck::kMaxDocumentBytes): no real
// document comes near it, and a body declaring more is refused unread.
constexpr qint64 kMaxTextBytes = qint64(64) << 20;

// zlib's default level.
QByteArray compress(const QByteArray &text);
// The text, or nothing when the body is short, damaged, or declares a length
// it cannot hold. Never throws.
std::optional<QByteArray> uncompress(const QByteArray &body);

}  // namespace StudyCompression

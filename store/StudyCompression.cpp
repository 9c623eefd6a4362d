#include "store/StudyCompression.h"

#include <QtEndian>
#include <algorithm>
#include <zlib.h>

namespace StudyCompression {

QByteArray compress(const QByteArray &text) { return qCompress(text, -1); }

std::optional<QByteArray> uncompress(const QByteArray &body) {
    if (body.size() < 4) return std::nullopt;
    const qint64 declared = qFromBigEndian<quint32>(body.constData());
    const qint64 streamBytes = body.size() - 4;
    const qint64 limit = std::min(kMaxTextBytes, streamBytes * kMaxExpansion + kExpansionSlack);
    if (declared > limit) return std::nullopt;

    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(body.constData() + 4));
    stream.avail_in = static_cast<uInt>(streamBytes);

    // The declared length is only a hint: the stream itself decides, within
    // the same bound, so a wrong length can neither overrun nor balloon.
    QByteArray text;
    text.resize(static_cast<int>(std::max<qint64>(declared, 1)));
    qint64 produced = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        if (produced == text.size()) {
            if (produced >= limit) break;
            text.resize(static_cast<int>(std::min(limit, produced * 2)));
        }
        stream.next_out = reinterpret_cast<Bytef *>(text.data() + produced);
        stream.avail_out = static_cast<uInt>(text.size() - produced);
        status = inflate(&stream, Z_NO_FLUSH);
        produced = text.size() - stream.avail_out;
        // No input left and no end of stream: a truncated body.
        if (status == Z_BUF_ERROR || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)) break;
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) return std::nullopt;
    text.resize(static_cast<int>(produced));
    return text;
}

}  // namespace StudyCompression

#include "tools/cli/RawRecordingReader.h"

#include "analysis/ChannelTable.h"

#include <QFile>

namespace RawRecordingReader {

bool read(const QString &path, const RawFormat &format, InputSignals *out, QString *error) {
    *out = InputSignals();
    if (format.channels < 1 || format.channels > ChannelTable::kChannelCount) {
        *error = QStringLiteral("the demonstration format holds 1 to %1 channels, not %2")
                     .arg(ChannelTable::kChannelCount)
                     .arg(format.channels);
        return false;
    }
    if (!(format.rate > 0.0) || !(format.rangeMv > 0.0)) {
        *error = QStringLiteral("the sampling rate and amplitude range must be positive");
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    const std::int64_t frameBytes = 2 * format.channels;
    const std::int64_t frames = bytes.size() / frameBytes;
    if (frames == 0) {
        *error = QStringLiteral("%1 holds no whole frame of %2 channels").arg(path).arg(format.channels);
        return false;
    }
    // A recording cut off while it was written ends mid-frame; what came
    // before is still good.
    if (bytes.size() % frameBytes != 0)
        out->warnings << QStringLiteral("%1 ends with a partial frame of %2 bytes; it is dropped")
                             .arg(path)
                             .arg(bytes.size() % frameBytes);

    out->source = path;
    out->files << path;
    out->rate = format.rate;
    const double millivoltsPerUnit = 2.0 * format.rangeMv / 65536.0;
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.constData());
    out->leads.resize(static_cast<std::size_t>(format.channels));
    for (int c = 0; c < format.channels; ++c) {
        InputLead &lead = out->leads[static_cast<std::size_t>(c)];
        lead.name = ChannelTable::name(c);
        lead.channel = c;
        lead.millivolts.resize(static_cast<std::size_t>(frames));
        for (std::int64_t f = 0; f < frames; ++f) {
            const unsigned char *sample = data + f * frameBytes + 2 * c;
            const auto value = static_cast<std::int16_t>(sample[0] | (sample[1] << 8));
            lead.millivolts[static_cast<std::size_t>(f)] = value * millivoltsPerUnit;
        }
    }
    return true;
}

}  // namespace RawRecordingReader

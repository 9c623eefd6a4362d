#include "tools/cli/RawRecordingReader.h"

#include "analysis/ChannelTable.h"
#include "tools/cli/RegularFile.h"

#include <QFile>
#include <algorithm>
#include <stdexcept>

namespace {

class RawBlockReader : public SignalBlockReader {
public:
    RawBlockReader(const QString &path, const RawFormat &format) : file_(path), format_(format) {}

    bool open(QString *error) {
        if (!RegularFile::open(file_, error)) return false;
        const QString path = file_.fileName();
        const std::int64_t frameBytes = 2 * format_.channels;
        const std::int64_t size = file_.size();
        length_ = size / frameBytes;
        if (length_ == 0) {
            *error = QStringLiteral("%1 holds no whole frame of %2 channels").arg(path).arg(format_.channels);
            return false;
        }
        // A recording cut off while it was written ends mid-frame; what came
        // before is still good.
        if (size % frameBytes != 0)
            description_.warnings << QStringLiteral("%1 ends with a partial frame of %2 bytes; it is dropped")
                                         .arg(path)
                                         .arg(size % frameBytes);
        description_.source = path;
        description_.files << path;
        description_.rate = format_.rate;
        description_.leads.resize(static_cast<std::size_t>(format_.channels));
        for (int c = 0; c < format_.channels; ++c) {
            InputLead &lead = description_.leads[static_cast<std::size_t>(c)];
            lead.name = ChannelTable::name(c);
            lead.channel = c;
        }
        return true;
    }

    std::int64_t read(std::int64_t frames, std::vector<std::vector<double>> &block) override {
        const std::int64_t n = std::max<std::int64_t>(0, std::min(frames, length_ - position_));
        const std::int64_t frameBytes = 2 * format_.channels;
        bytes_.resize(static_cast<int>(n * frameBytes));
        if (n > 0 && file_.read(bytes_.data(), bytes_.size()) != bytes_.size())
            throw std::runtime_error(QStringLiteral("%1 ended early or could not be read: %2")
                                         .arg(file_.fileName(), file_.errorString())
                                         .toStdString());
        const double millivoltsPerUnit = 2.0 * format_.rangeMv / 65536.0;
        const auto *data = reinterpret_cast<const unsigned char *>(bytes_.constData());
        block.resize(static_cast<std::size_t>(format_.channels));
        for (int c = 0; c < format_.channels; ++c) {
            std::vector<double> &lead = block[static_cast<std::size_t>(c)];
            lead.resize(static_cast<std::size_t>(n));
            for (std::int64_t f = 0; f < n; ++f) {
                const unsigned char *sample = data + f * frameBytes + 2 * c;
                const auto value = static_cast<std::int16_t>(sample[0] | (sample[1] << 8));
                lead[static_cast<std::size_t>(f)] = value * millivoltsPerUnit;
            }
        }
        position_ += n;
        return n;
    }

private:
    QFile file_;
    RawFormat format_;
    std::int64_t position_ = 0;
    QByteArray bytes_;
};

}  // namespace

namespace RawRecordingReader {

std::unique_ptr<SignalBlockReader> open(const QString &path, const RawFormat &format, QString *error) {
    if (format.channels < 1 || format.channels > ChannelTable::kChannelCount) {
        *error = QStringLiteral("the demonstration format holds 1 to %1 channels, not %2")
                     .arg(ChannelTable::kChannelCount)
                     .arg(format.channels);
        return nullptr;
    }
    if (!(format.rate > 0.0) || !(format.rangeMv > 0.0)) {
        *error = QStringLiteral("the sampling rate and amplitude range must be positive");
        return nullptr;
    }
    auto reader = std::make_unique<RawBlockReader>(path, format);
    if (!reader->open(error)) return nullptr;
    return reader;
}

bool read(const QString &path, const RawFormat &format, InputSignals *out, QString *error) {
    *out = InputSignals();
    const std::unique_ptr<SignalBlockReader> reader = open(path, format, error);
    return reader && reader->readAll(out, error);
}

}  // namespace RawRecordingReader

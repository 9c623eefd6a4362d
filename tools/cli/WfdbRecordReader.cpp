#include "tools/cli/WfdbRecordReader.h"

#include "analysis/ChannelTable.h"
#include "tools/cli/LeadNames.h"
#include "tools/cli/RegularFile.h"
#include "tools/cli/WfdbHeader.h"
#include "tools/cli/WfdbSampleCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>

namespace {

// The signals stored interleaved in one file: a run of adjacent header lines.
struct SignalGroup {
    QString fileName;
    int format = 0;
    std::int64_t byteOffset = 0;
    int first = 0;  // index of its first signal in the header
    int count = 0;
};

bool groupSignals(const WfdbHeader &header, std::vector<SignalGroup> *groups, QString *error) {
    for (int i = 0; i < static_cast<int>(header.signalLines.size()); ++i) {
        const WfdbSignalLine &line = header.signalLines[static_cast<std::size_t>(i)];
        if (!groups->empty() && groups->back().fileName == line.fileName) {
            SignalGroup &group = groups->back();
            if (line.format != group.format || line.byteOffset != group.byteOffset) {
                *error = QStringLiteral("the signals of %1 differ in format or offset").arg(line.fileName);
                return false;
            }
            ++group.count;
            continue;
        }
        for (const SignalGroup &group : *groups)
            if (group.fileName == line.fileName) {
                *error = QStringLiteral("the signals of %1 are not described on adjacent lines").arg(line.fileName);
                return false;
            }
        if (!WfdbSampleCodec::isSupported(line.format)) {
            *error = QStringLiteral("%1: storage format %2 is not supported (16 and 212 are)")
                         .arg(line.fileName)
                         .arg(line.format);
            return false;
        }
        groups->push_back({line.fileName, line.format, line.byteOffset, i, 1});
    }
    return true;
}

// Frames the group's file holds, checked against the header's sample count
// when it gives one.
bool framesInFile(const SignalGroup &group, const QString &path, std::int64_t fileSize,
                  std::optional<std::int64_t> expected, std::int64_t *frames, QString *error) {
    const std::int64_t available = fileSize - group.byteOffset;
    if (available < 0) {
        *error = QStringLiteral("%1 is shorter than its byte offset %2").arg(path).arg(group.byteOffset);
        return false;
    }
    if (expected) {
        // Every sample takes at least one byte, so this bound also keeps the
        // products below from overflowing on an absurd header.
        const bool fits = *expected <= available;
        const std::int64_t samples = fits ? *expected * group.count : 0;
        const std::int64_t needed = fits ? WfdbSampleCodec::encodedSize(group.format, samples) : 0;
        if (!fits || needed > available) {
            *error = QStringLiteral("%1 is truncated: %2 bytes of samples, %3 frames need %4")
                         .arg(path)
                         .arg(available)
                         .arg(*expected)
                         .arg(fits ? QString::number(needed) : QStringLiteral("more"));
            return false;
        }
        // A writer may pad a trailing half pair of format 212 to a whole one.
        const std::int64_t padding = group.format == 212 && samples % 2 == 1 ? 1 : 0;
        if (available > needed + padding) {
            *error = QStringLiteral("%1 holds more samples than the record's %2 per signal").arg(path).arg(*expected);
            return false;
        }
        *frames = *expected;
        return true;
    }
    std::int64_t samples = WfdbSampleCodec::samplesIn(group.format, available);
    if (samples >= 0 && samples % group.count != 0 && group.format == 212 && available % 3 == 0 &&
        (samples - 1) % group.count == 0)
        samples -= 1;  // a padded trailing half pair
    if (samples < 0 || samples % group.count != 0) {
        *error = QStringLiteral("%1 does not hold whole frames of %2 signals").arg(path).arg(group.count);
        return false;
    }
    *frames = samples / group.count;
    return true;
}

// Physical unit to millivolts, or nothing for a quantity that is no voltage.
std::optional<double> millivoltsPerUnit(const QString &units) {
    if (units == QLatin1String("mV")) return 1.0;
    if (units == QLatin1String("uV") || units == QString::fromUtf8("\xc2\xb5V")) return 0.001;
    if (units == QLatin1String("V")) return 1000.0;
    return std::nullopt;
}

QString headerPathOf(const QString &recordPath) {
    return recordPath.endsWith(QLatin1String(".hea")) ? recordPath : recordPath + QStringLiteral(".hea");
}

// WFDB names signal files relative to the header; a name that climbs out of
// the record's folder or is absolute would read some other file entirely.
bool insideFolder(const QString &fileName) {
    if (fileName.isEmpty() || QDir::isAbsolutePath(fileName) || fileName.startsWith(QLatin1Char('~'))) return false;
    for (const QString &part : fileName.split(QLatin1Char('/')))
        if (part == QLatin1String("..")) return false;
    return true;
}

// A header is a few lines per signal; anything this large is not one.
constexpr qint64 kMaxHeaderBytes = 1 << 20;
// Frames checked per block.
constexpr std::int64_t kBlockFrames = 4096;

// One open signal file and the signals stored in it.
struct OpenGroup {
    SignalGroup group;
    std::unique_ptr<QFile> file;
    std::int64_t samplesLeft = 0;
    // Format 212 keeps two samples in three bytes: a read that ends on the
    // first of a pair decodes the whole pair and keeps the second for later.
    std::optional<int> carried;
};

class WfdbBlockReader : public SignalBlockReader {
public:
    bool open(const QString &recordPath, QString *error) {
        const QString headerPath = headerPathOf(recordPath);
        QFile headerFile(headerPath);
        if (!RegularFile::open(headerFile, error)) return false;
        if (headerFile.size() > kMaxHeaderBytes) {
            *error = QStringLiteral("%1 is too large for a record header").arg(headerPath);
            return false;
        }
        QString headerError;
        if (!WfdbHeader::parse(QString::fromUtf8(headerFile.read(kMaxHeaderBytes)), &header_, &headerError)) {
            *error = QStringLiteral("%1: %2").arg(headerPath, headerError);
            return false;
        }
        std::vector<SignalGroup> groups;
        if (!groupSignals(header_, &groups, error)) {
            *error = QStringLiteral("%1: %2").arg(headerPath, *error);
            return false;
        }
        description_.source = headerPath.left(headerPath.size() - 4);
        description_.files << headerPath;
        description_.rate = header_.samplingRate;
        description_.leads.resize(header_.signalLines.size());
        for (std::size_t i = 0; i < header_.signalLines.size(); ++i) {
            const QString &name = header_.signalLines[i].description;
            description_.leads[i].name = name.isEmpty() ? QStringLiteral("signal %1").arg(i) : name;
        }

        const QDir folder = QFileInfo(headerPath).dir();
        std::optional<std::int64_t> frames = header_.sampleCount;
        for (const SignalGroup &group : groups) {
            if (!insideFolder(group.fileName)) {
                *error = QStringLiteral("%1: the signal file \"%2\" is not inside the record's folder")
                             .arg(headerPath, group.fileName);
                return false;
            }
            auto file = std::make_unique<QFile>(folder.filePath(group.fileName));
            if (!RegularFile::open(*file, error)) return false;
            description_.files << file->fileName();
            std::int64_t groupFrames = 0;
            if (!framesInFile(group, file->fileName(), file->size(), frames, &groupFrames, error)) return false;
            if (groupFrames == 0) {
                *error = QStringLiteral("%1 holds no samples").arg(file->fileName());
                return false;
            }
            if (!frames) frames = groupFrames;  // the first file sets the length the others must match
            groups_.push_back({group, std::move(file), 0, std::nullopt});
        }
        length_ = frames.value_or(0);
        // Every sum is checked before the first sample is handed on, so a
        // damaged record is refused before anything is written from it.
        if (!checkSamples(error) || !rewind(error)) return false;
        mapLeads();
        return true;
    }

    std::int64_t read(std::int64_t frames, std::vector<std::vector<double>> &block) override {
        const std::int64_t n = std::max<std::int64_t>(0, std::min(frames, length_ - position_));
        block.resize(description_.leads.size());
        for (OpenGroup &open : groups_) {
            const std::vector<int> samples = readSamples(open, n);
            for (int s = 0; s < open.group.count; ++s) {
                const int index = open.group.first + s;
                const WfdbSignalLine &line = header_.signalLines[static_cast<std::size_t>(index)];
                const double scale = millivoltsPerUnit(line.units).value_or(1.0) / line.gain;
                const int invalid = WfdbSampleCodec::invalidSample(open.group.format);
                std::vector<double> &lead = block[static_cast<std::size_t>(index)];
                lead.resize(static_cast<std::size_t>(n));
                for (std::int64_t f = 0; f < n; ++f) {
                    const int value = samples[static_cast<std::size_t>(f * open.group.count + s)];
                    // A missing sample would otherwise read as a huge deflection.
                    lead[static_cast<std::size_t>(f)] = value == invalid ? 0.0 : (value - line.baseline) * scale;
                }
            }
        }
        position_ += n;
        return n;
    }

private:
    // The next `frames` frames of a group's file; throws when the file no
    // longer holds them.
    std::vector<int> readSamples(OpenGroup &open, std::int64_t frames) {
        const std::int64_t count = frames * open.group.count;
        std::vector<int> samples;
        if (open.carried && count > 0) {
            samples.push_back(*open.carried);
            open.carried.reset();
        }
        const std::int64_t wanted = count - static_cast<std::int64_t>(samples.size());
        // Whole pairs unless the file ends with a half one.
        const bool splitsPair = open.group.format == 212 && wanted % 2 == 1 && wanted < open.samplesLeft;
        const std::int64_t decoded = splitsPair ? wanted + 1 : wanted;
        const std::int64_t size = WfdbSampleCodec::encodedSize(open.group.format, decoded);
        bytes_.resize(static_cast<int>(size));
        if (size > 0 && open.file->read(bytes_.data(), size) != size)
            throw std::runtime_error(QStringLiteral("%1 ended early or could not be read: %2")
                                         .arg(open.file->fileName(), open.file->errorString())
                                         .toStdString());
        const std::vector<int> fresh = WfdbSampleCodec::decode(
            open.group.format, reinterpret_cast<const unsigned char *>(bytes_.constData()), decoded);
        samples.insert(samples.end(), fresh.begin(), fresh.begin() + wanted);
        if (splitsPair) open.carried = fresh.back();
        open.samplesLeft -= decoded;
        return samples;
    }

    bool rewind(QString *error) {
        position_ = 0;
        for (OpenGroup &open : groups_) {
            open.samplesLeft = length_ * open.group.count;
            open.carried.reset();
            if (!open.file->seek(open.group.byteOffset)) {
                *error = QStringLiteral("cannot read %1: %2").arg(open.file->fileName(), open.file->errorString());
                return false;
            }
        }
        return true;
    }

    // Checksums and missing samples, a block at a time.
    bool checkSamples(QString *error) {
        if (!rewind(error)) return false;
        const std::size_t signalCount = header_.signalLines.size();
        std::vector<unsigned int> sums(signalCount, 0);
        std::vector<std::int64_t> invalid(signalCount, 0);
        try {
            for (std::int64_t done = 0; done < length_; done += kBlockFrames) {
                const std::int64_t n = std::min(kBlockFrames, length_ - done);
                for (OpenGroup &open : groups_) {
                    const std::vector<int> samples = readSamples(open, n);
                    const int missing = WfdbSampleCodec::invalidSample(open.group.format);
                    for (std::int64_t i = 0; i < n * open.group.count; ++i) {
                        const std::size_t index = static_cast<std::size_t>(open.group.first + i % open.group.count);
                        const int value = samples[static_cast<std::size_t>(i)];
                        sums[index] += static_cast<unsigned int>(value);
                        if (value == missing) ++invalid[index];
                    }
                }
            }
        } catch (const std::exception &failure) {
            *error = QString::fromLocal8Bit(failure.what());
            return false;
        }
        for (const OpenGroup &open : groups_)
            for (int s = 0; s < open.group.count; ++s) {
                const auto index = static_cast<std::size_t>(open.group.first + s);
                const WfdbSignalLine &line = header_.signalLines[index];
                const QString &name = description_.leads[index].name;
                if (line.checksum &&
                    static_cast<std::int16_t>(sums[index] & 0xFFFFu) != static_cast<std::int16_t>(*line.checksum)) {
                    *error = QStringLiteral("%1: the samples of signal %2 (%3) do not match the header's checksum; "
                                            "the file is damaged or belongs to another record")
                                 .arg(open.file->fileName())
                                 .arg(index)
                                 .arg(name);
                    return false;
                }
                if (invalid[index] > 0)
                    description_.warnings << QStringLiteral("%1: %2 samples marked missing were read as 0 mV")
                                                 .arg(name)
                                                 .arg(invalid[index]);
            }
        return true;
    }

    // Table channels for the leads.
    void mapLeads() {
        std::vector<bool> taken(ChannelTable::kChannelCount, false);
        for (std::size_t i = 0; i < description_.leads.size(); ++i) {
            InputLead &lead = description_.leads[i];
            const WfdbSignalLine &line = header_.signalLines[i];
            const int channel = LeadNames::channelOf(lead.name);
            if (channel < 0) continue;
            if (!millivoltsPerUnit(line.units)) {
                description_.warnings
                    << QStringLiteral("%1 is in %2, not a voltage; it is not used").arg(lead.name, line.units);
                continue;
            }
            if (taken[static_cast<std::size_t>(channel)]) {
                description_.warnings
                    << QStringLiteral("%1 is a second recording of an earlier lead; it is not used").arg(lead.name);
                continue;
            }
            taken[static_cast<std::size_t>(channel)] = true;
            lead.channel = channel;
        }
    }

    WfdbHeader header_;
    std::vector<OpenGroup> groups_;
    std::int64_t position_ = 0;
    QByteArray bytes_;
};

}  // namespace

namespace WfdbRecordReader {

std::unique_ptr<SignalBlockReader> open(const QString &recordPath, QString *error) {
    auto reader = std::make_unique<WfdbBlockReader>();
    if (!reader->open(recordPath, error)) return nullptr;
    return reader;
}

bool read(const QString &recordPath, InputSignals *out, QString *error) {
    *out = InputSignals();
    const std::unique_ptr<SignalBlockReader> reader = open(recordPath, error);
    return reader && reader->readAll(out, error);
}

}  // namespace WfdbRecordReader

#include "tools/cli/WfdbRecordReader.h"

#include "analysis/ChannelTable.h"
#include "tools/cli/LeadNames.h"
#include "tools/cli/WfdbHeader.h"
#include "tools/cli/WfdbSampleCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

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

class RecordAssembler {
public:
    RecordAssembler(const WfdbHeader &header, InputSignals *out) : header_(header), out_(out) {
        out_->leads.resize(header.signalLines.size());
    }

    // Decodes a group's samples into its leads; false on a checksum fault.
    bool addGroup(const SignalGroup &group, const QString &path, const QByteArray &bytes, std::int64_t frames,
                  QString *error) {
        const std::vector<int> samples = WfdbSampleCodec::decode(
            group.format, reinterpret_cast<const unsigned char *>(bytes.constData()) + group.byteOffset,
            frames * group.count);
        for (int s = 0; s < group.count; ++s) {
            const int index = group.first + s;
            const WfdbSignalLine &line = header_.signalLines[static_cast<std::size_t>(index)];
            InputLead &lead = out_->leads[static_cast<std::size_t>(index)];
            lead.name = line.description.isEmpty() ? QStringLiteral("signal %1").arg(index) : line.description;
            const double scale = millivoltsPerUnit(line.units).value_or(1.0) / line.gain;
            const int invalid = WfdbSampleCodec::invalidSample(group.format);
            lead.millivolts.resize(static_cast<std::size_t>(frames));
            unsigned int sum = 0;
            std::int64_t invalidCount = 0;
            for (std::int64_t f = 0; f < frames; ++f) {
                const int value = samples[static_cast<std::size_t>(f * group.count + s)];
                sum += static_cast<unsigned int>(value);
                // A missing sample would otherwise read as a huge deflection.
                if (value == invalid) ++invalidCount;
                lead.millivolts[static_cast<std::size_t>(f)] = value == invalid ? 0.0 : (value - line.baseline) * scale;
            }
            if (line.checksum &&
                static_cast<std::int16_t>(sum & 0xFFFFu) != static_cast<std::int16_t>(*line.checksum)) {
                *error = QStringLiteral("%1: the samples of signal %2 (%3) do not match the header's checksum; "
                                        "the file is damaged or belongs to another record")
                             .arg(path)
                             .arg(index)
                             .arg(lead.name);
                return false;
            }
            if (invalidCount > 0)
                out_->warnings << QStringLiteral("%1: %2 samples marked missing were read as 0 mV")
                                      .arg(lead.name)
                                      .arg(invalidCount);
        }
        return true;
    }

    // Table channels for the leads, after every lead has its samples.
    void mapLeads() {
        std::vector<bool> taken(ChannelTable::kChannelCount, false);
        for (std::size_t i = 0; i < out_->leads.size(); ++i) {
            InputLead &lead = out_->leads[i];
            const WfdbSignalLine &line = header_.signalLines[i];
            const int channel = LeadNames::channelOf(lead.name);
            if (channel < 0) continue;
            if (!millivoltsPerUnit(line.units)) {
                out_->warnings
                    << QStringLiteral("%1 is in %2, not a voltage; it is not used").arg(lead.name, line.units);
                continue;
            }
            if (taken[static_cast<std::size_t>(channel)]) {
                out_->warnings
                    << QStringLiteral("%1 is a second recording of an earlier lead; it is not used").arg(lead.name);
                continue;
            }
            taken[static_cast<std::size_t>(channel)] = true;
            lead.channel = channel;
        }
    }

private:
    const WfdbHeader &header_;
    InputSignals *out_;
};

QString headerPathOf(const QString &recordPath) {
    return recordPath.endsWith(QLatin1String(".hea")) ? recordPath : recordPath + QStringLiteral(".hea");
}

}  // namespace

namespace WfdbRecordReader {

bool read(const QString &recordPath, InputSignals *out, QString *error) {
    *out = InputSignals();
    const QString headerPath = headerPathOf(recordPath);
    QFile headerFile(headerPath);
    if (!headerFile.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(headerPath, headerFile.errorString());
        return false;
    }
    WfdbHeader header;
    QString headerError;
    if (!WfdbHeader::parse(QString::fromUtf8(headerFile.readAll()), &header, &headerError)) {
        *error = QStringLiteral("%1: %2").arg(headerPath, headerError);
        return false;
    }
    std::vector<SignalGroup> groups;
    if (!groupSignals(header, &groups, error)) {
        *error = QStringLiteral("%1: %2").arg(headerPath, *error);
        return false;
    }
    out->source = headerPath.left(headerPath.size() - 4);
    out->files << headerPath;
    out->rate = header.samplingRate;

    const QDir folder = QFileInfo(headerPath).dir();
    RecordAssembler assembler(header, out);
    std::optional<std::int64_t> frames = header.sampleCount;
    for (const SignalGroup &group : groups) {
        QFile file(folder.filePath(group.fileName));
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
            return false;
        }
        out->files << file.fileName();
        const QByteArray bytes = file.readAll();
        std::int64_t groupFrames = 0;
        if (!framesInFile(group, file.fileName(), bytes.size(), frames, &groupFrames, error)) return false;
        if (groupFrames == 0) {
            *error = QStringLiteral("%1 holds no samples").arg(file.fileName());
            return false;
        }
        if (!frames) frames = groupFrames;  // the first file sets the length the others must match
        if (!assembler.addGroup(group, file.fileName(), bytes, groupFrames, error)) return false;
    }
    assembler.mapLeads();
    return true;
}

}  // namespace WfdbRecordReader

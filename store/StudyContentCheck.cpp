#include "store/StudyContentCheck.h"

#include "acquisition/BeatFile.h"
#include "acquisition/FileSignal.h"
#include "store/StudyFiles.h"
#include "store/StudyStore.h"

#include <QJsonValue>
#include <cmath>
#include <optional>

namespace StudyContentCheck {

namespace {

const QByteArray kBeatsMagic("HXBEATS1");

// A JSON number that is exactly a study id; text, fractions and values far
// out of range (1.5e300) are not ids, whatever a lenient conversion makes of them.
std::optional<qint32> idOf(const QJsonValue &value) {
    if (!value.isDouble()) return std::nullopt;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || number < 1 || number > StudyStore::kMaximumId)
        return std::nullopt;
    return static_cast<qint32>(number);
}

}  // namespace

bool documentId(const QJsonObject &document, qint32 &id) {
    const std::optional<qint32> found =
        idOf(document.value(QLatin1String("study")).toObject().value(QLatin1String("id")));
    if (found) id = *found;
    return found.has_value();
}

QString documentProblem(const QJsonObject &document, const QByteArray &baseName, qint32 *id) {
    const QJsonValue study = document.value(QLatin1String("study"));
    if (!study.isObject() || study.toObject().isEmpty()) return QStringLiteral("it has no \"study\" object");
    const QJsonValue patient = document.value(QLatin1String("patient"));
    if (!patient.isObject() || patient.toObject().isEmpty()) return QStringLiteral("it has no \"patient\" object");
    qint32 found = 0;
    if (!documentId(document, found))
        return QStringLiteral("its id is not a whole number from 1 to %1").arg(StudyStore::kMaximumId);
    const QJsonValue base = study.toObject().value(QLatin1String("baseFilename"));
    if (!base.isString() || base.toString().toUtf8() != baseName)
        return QStringLiteral("its \"baseFilename\" is not \"%1\"").arg(QString::fromUtf8(baseName));
    if (id) *id = found;
    return QString();
}

qint64 maxRecordingBytes(const RecordingGeometry &geometry) {
    return FileSignal::StudyHeaderSize + qint64(2) * geometry.channels * geometry.samplingRate * kMaxRecordingSeconds;
}

qint64 maxBeatsBytes(const RecordingGeometry &geometry) {
    return BeatFile::StudyHeaderSize +
           qint64(BeatFile::recordLengthFor(geometry.channels)) * kMaxBeatsPerSecond * kMaxRecordingSeconds;
}

QString recordingProblem(const QByteArray &prefix, qint64 size, qint32 id, RecordingGeometry &geometry) {
    if (size < FileSignal::StudyHeaderSize || prefix.size() < FileSignal::StudyHeaderSize)
        return QStringLiteral("the recording is shorter than its header");
    const std::optional<StudyFiles::RecordingHeader> header = StudyFiles::parseRecordingHeader(prefix);
    if (!header) return QStringLiteral("the recording has no valid HXECG1 header");
    if (header->samplingRate > kMaxSamplingRate)
        return QStringLiteral("the recording's sampling rate %1 is beyond %2")
            .arg(header->samplingRate)
            .arg(kMaxSamplingRate);
    // The header repeats the study it was made for; when it does, it must be
    // this one, or the signal belongs to another patient.
    const QJsonValue headerId = header->study.value(QLatin1String("id"));
    if (!headerId.isUndefined() && idOf(headerId) != std::optional<qint32>(id))
        return QStringLiteral("the recording belongs to another study");
    geometry.channels = header->channelNames.size();
    geometry.samplingRate = header->samplingRate;
    if (size > maxRecordingBytes(geometry))
        return QStringLiteral("the recording is longer than %1 hours").arg(kMaxRecordingSeconds / 3600);
    if ((size - FileSignal::StudyHeaderSize) % (2 * geometry.channels) != 0)
        return QStringLiteral("the recording ends inside a sample frame");
    return QString();
}

QString beatsProblem(const QByteArray &prefix, qint64 size, const RecordingGeometry &geometry) {
    if (size < BeatFile::StudyHeaderSize || !prefix.startsWith(kBeatsMagic))
        return QStringLiteral("the beat records have no HXBEATS1 header");
    if (size > maxBeatsBytes(geometry))
        return QStringLiteral("the beat records hold more than %1 hours of beats").arg(kMaxRecordingSeconds / 3600);
    if ((size - BeatFile::StudyHeaderSize) % BeatFile::recordLengthFor(geometry.channels) != 0)
        return QStringLiteral("the beat records end inside a record");
    return QString();
}

}  // namespace StudyContentCheck

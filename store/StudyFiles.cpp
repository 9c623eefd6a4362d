#include "store/StudyFiles.h"

#include "store/StudyBaseName.h"
#include "store/StudyCompression.h"
#include "store/StudyContentCheck.h"
#include "store/StudyDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <stdexcept>

namespace {

const QByteArray kPlainStudyMagic("HXSTUDY1");
const QByteArray kCompressedStudyMagic("HXSTUDY2");
const QByteArray kRecordingMagic("HXECG1");
const QByteArray kBeatsMagic("HXBEATS1");

// Texts longer than this are the first left out of an overfull ECG header.
constexpr int kShortText = 64;

std::optional<QJsonObject> parseObject(const QByteArray &text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
    return document.object();
}

// Only regular files are read: opening a named pipe would wait for a writer
// that never comes, and a device has no header to read.
bool openRegularFile(QFile &file) { return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly); }

// Whether a file opens for reading and starts with `magic`.
bool startsWith(const QString &path, const QByteArray &magic, QByteArray *following = nullptr,
                qint64 followingBytes = 0) {
    QFile file(path);
    if (!openRegularFile(file) || file.read(magic.size()) != magic) return false;
    if (following) *following = file.read(followingBytes);
    return true;
}

QJsonObject withoutLongTexts(QJsonObject object) {
    for (auto member = object.begin(); member != object.end(); ++member)
        if (member.value().isString() && member.value().toString().toUtf8().size() > kShortText)
            member.value() = QString();
    return object;
}

QByteArray headerDocument(const QJsonObject &ecg, const QJsonObject *study, const QJsonObject *patient) {
    QJsonObject document;
    document.insert(QStringLiteral("ecg"), ecg);
    if (study) document.insert(QStringLiteral("study"), *study);
    if (patient) document.insert(QStringLiteral("patient"), *patient);
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

}  // namespace

namespace StudyFiles {

const char *const kInvalidBaseName = "Invalid study file name";

QString pathOf(const QString &root, const QString &base, const char *extension) {
    if (!StudyBaseName::isPlainFileName(base.toUtf8())) throw std::runtime_error(kInvalidBaseName);
    return QStringLiteral("%1/%2.%3").arg(root, base, QString::fromLatin1(extension));
}

QString archivePathOf(const QString &folder, const QString &base) { return pathOf(folder, base, "hxz"); }

std::optional<QJsonObject> readStudyDocument(const QString &path, QString *problem) {
    auto fail = [problem](const char *reason) -> std::optional<QJsonObject> {
        if (problem) *problem = QString::fromLatin1(reason);
        return std::nullopt;
    };
    QFile file(path);
    if (!openRegularFile(file)) return fail("the file cannot be read");
    // Checked before reading, so a huge file never becomes one huge buffer.
    if (file.size() > StudyContentCheck::kMaxStudyFileBytes) return fail("the file is larger than any study file");
    return parseStudyDocument(file.readAll(), problem);
}

std::optional<QJsonObject> parseStudyDocument(const QByteArray &bytes, QString *problem) {
    auto fail = [problem](const char *reason) -> std::optional<QJsonObject> {
        if (problem) *problem = QString::fromLatin1(reason);
        return std::nullopt;
    };
    if (bytes.size() > StudyContentCheck::kMaxStudyFileBytes) return fail("the file is larger than any study file");
    const QByteArray magic = bytes.left(8);
    if (magic != kPlainStudyMagic && magic != kCompressedStudyMagic)
        return fail("the file does not start with HXSTUDY1 or HXSTUDY2");
    const QByteArray body = bytes.mid(8);
    if (body.isEmpty()) return fail("the file holds no document");
    std::optional<QJsonObject> document;
    if (magic == kPlainStudyMagic) {
        document = parseObject(body);
    } else {
        const std::optional<QByteArray> text = StudyCompression::uncompress(body);
        if (!text) return fail("the compressed document is damaged");
        document = parseObject(*text);
    }
    if (!document) return fail("the document is not a JSON object");
    return document;
}

std::unique_ptr<Study> readStudyFile(const QString &path, HeaderedFile::Access access) {
    const std::optional<QJsonObject> document = readStudyDocument(path);
    if (!document) return nullptr;
    std::unique_ptr<Study> study = StudyDocument::fromJson(*document);
    if (!study) return nullptr;

    const QFileInfo info(path);
    const QString folder = info.path();
    const QString base = info.completeBaseName();
    std::unique_ptr<FileSignal> recording = openRecordingFile(pathOf(folder, base, "hxecg"), access);
    // Beat records are laid out by the recording's channel count; without a
    // recording there is no count to read them by, so they stay on disk unread.
    if (recording) {
        study->setBeats(openBeatFile(pathOf(folder, base, "hxbeats"), recording->channelCount(), access));
        study->setRecording(std::move(recording));
    }
    return study;
}

void writeStudyFile(const Study &study, const QString &path) {
    const QByteArray bytes = kCompressedStudyMagic + StudyCompression::compress(StudyDocument::serialise(study));
    // The text goes to a temporary file that replaces the target only on
    // commit, so a failed save leaves the previous study file whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw std::runtime_error("Cannot create study file");
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        throw std::runtime_error("Write error");
    }
    if (!file.commit()) throw std::runtime_error("Write error");
}

std::optional<RecordingHeader> parseRecordingHeader(const QByteArray &prefix) {
    if (!prefix.startsWith(kRecordingMagic)) return std::nullopt;
    // Only the header region is the header: reading past it would append
    // sample bytes to a document that fills the region to its last byte.
    QByteArray region = prefix.mid(kRecordingMagic.size(), int(FileSignal::StudyHeaderSize) - kRecordingMagic.size());
    const int end = region.indexOf('\0');
    if (end >= 0) region.truncate(end);
    const std::optional<QJsonObject> document = parseObject(region);
    if (!document || document->isEmpty()) return std::nullopt;
    const QJsonObject ecg = document->value(QStringLiteral("ecg")).toObject();
    if (ecg.isEmpty()) return std::nullopt;

    RecordingHeader header;
    header.resolution = ecg.value(QStringLiteral("resolution")).toInt();
    header.gainMin = ecg.value(QStringLiteral("gainMin")).toDouble();
    header.gainMax = ecg.value(QStringLiteral("gainMax")).toDouble();
    header.samplingRate = ecg.value(QStringLiteral("samplingRate")).toInt();
    const QString sampleFormat = ecg.value(QStringLiteral("sampleFormat")).toString();
    const QJsonArray channels = ecg.value(QStringLiteral("channels")).toArray();
    if (header.resolution == 0 || header.samplingRate <= 0 || sampleFormat.isEmpty() || channels.isEmpty() ||
        channels.size() > kMaxRecordingChannels)
        return std::nullopt;
    for (const QJsonValue &name : channels) header.channelNames.append(name.toString());
    header.study = document->value(QStringLiteral("study")).toObject();
    return header;
}

std::unique_ptr<FileSignal> openRecordingFile(const QString &path, HeaderedFile::Access access) {
    QByteArray prefix;
    if (!startsWith(path, kRecordingMagic, &prefix, FileSignal::StudyHeaderSize - kRecordingMagic.size()))
        return nullptr;
    const std::optional<RecordingHeader> header = parseRecordingHeader(kRecordingMagic + prefix);
    if (!header) return nullptr;

    const int channels = header->channelNames.size();
    auto recording =
        std::make_unique<FileSignal>(path, channels, header->samplingRate, FileSignal::StudyHeaderSize, false, access);
    recording->setAmplitudeRange(header->gainMin, header->gainMax);
    recording->setResolutionBits(header->resolution);
    for (int i = 0; i < channels; ++i) recording->setChannelName(i, header->channelNames.at(i));
    return recording;
}

std::unique_ptr<BeatFile> openBeatFile(const QString &path, int channels, HeaderedFile::Access access) {
    if (channels < 1 || channels > kMaxRecordingChannels || !startsWith(path, kBeatsMagic)) return nullptr;
    return std::make_unique<BeatFile>(path, channels, BeatFile::StudyHeaderSize, false, access);
}

QByteArray recordingHeader(const Study &study, const FileSignal &recording) {
    QJsonArray names;
    for (const QString &name : recording.channelNames()) names.append(name);
    QJsonObject ecg;
    ecg.insert(QStringLiteral("sampleFormat"), QStringLiteral("short"));
    ecg.insert(QStringLiteral("samplingRate"), recording.samplingRate());
    ecg.insert(QStringLiteral("resolution"), recording.resolutionBits());
    ecg.insert(QStringLiteral("gainMin"), recording.amplitudeMin());
    ecg.insert(QStringLiteral("gainMax"), recording.amplitudeMax());
    ecg.insert(QStringLiteral("channels"), names);

    const QJsonObject studyObject = StudyDocument::studyObject(study);
    const QJsonObject patientObject = StudyDocument::patientObject(study);
    QByteArray document = headerDocument(ecg, &studyObject, &patientObject);
    if (document.size() > kMaxRecordingHeaderDocument) {
        const QJsonObject shortStudy = withoutLongTexts(studyObject);
        QJsonObject shortPatient = withoutLongTexts(patientObject);
        shortPatient.insert(QStringLiteral("riskFactors"), QJsonArray());
        document = headerDocument(ecg, &shortStudy, &shortPatient);
    }
    if (document.size() > kMaxRecordingHeaderDocument) document = headerDocument(ecg, nullptr, nullptr);
    return kRecordingMagic + document;
}

QByteArray beatFileHeader() { return kBeatsMagic; }

}  // namespace StudyFiles

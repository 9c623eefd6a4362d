#include "store/StudyFiles.h"

#include "store/StudyCompression.h"
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

QString pathOf(const QString &root, const QString &base, const char *extension) {
    return QStringLiteral("%1/%2.%3").arg(root, base, QString::fromLatin1(extension));
}

std::optional<QJsonObject> readStudyDocument(const QString &path) {
    QFile file(path);
    if (!openRegularFile(file)) return std::nullopt;
    const QByteArray magic = file.read(8);
    if (magic != kPlainStudyMagic && magic != kCompressedStudyMagic) return std::nullopt;
    const QByteArray body = file.readAll();
    if (body.isEmpty()) return std::nullopt;
    if (magic == kPlainStudyMagic) return parseObject(body);
    const std::optional<QByteArray> text = StudyCompression::uncompress(body);
    if (!text) return std::nullopt;
    return parseObject(*text);
}

std::unique_ptr<Study> readStudyFile(const QString &path) {
    const std::optional<QJsonObject> document = readStudyDocument(path);
    if (!document) return nullptr;
    std::unique_ptr<Study> study = StudyDocument::fromJson(*document);
    if (!study) return nullptr;

    const QFileInfo info(path);
    const QString folder = info.path();
    const QString base = info.completeBaseName();
    std::unique_ptr<FileSignal> recording = openRecordingFile(pathOf(folder, base, "hxecg"));
    // Beat records are laid out by the recording's channel count; without a
    // recording there is no count to read them by, so they stay on disk unread.
    if (recording) {
        study->setBeats(openBeatFile(pathOf(folder, base, "hxbeats"), recording->channelCount()));
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

std::unique_ptr<FileSignal> openRecordingFile(const QString &path) {
    // Only the header region is the header: reading past it would append
    // sample bytes to a document that fills the region to its last byte.
    QByteArray region;
    if (!startsWith(path, kRecordingMagic, &region, FileSignal::StudyHeaderSize - kRecordingMagic.size()))
        return nullptr;
    const int end = region.indexOf('\0');
    if (end >= 0) region.truncate(end);
    const std::optional<QJsonObject> header = parseObject(region);
    if (!header || header->isEmpty()) return nullptr;
    const QJsonObject ecg = header->value(QStringLiteral("ecg")).toObject();
    if (ecg.isEmpty()) return nullptr;

    const int resolution = ecg.value(QStringLiteral("resolution")).toInt();
    const double gainMin = ecg.value(QStringLiteral("gainMin")).toDouble();
    const double gainMax = ecg.value(QStringLiteral("gainMax")).toDouble();
    const int samplingRate = ecg.value(QStringLiteral("samplingRate")).toInt();
    const QString sampleFormat = ecg.value(QStringLiteral("sampleFormat")).toString();
    const QJsonArray channels = ecg.value(QStringLiteral("channels")).toArray();
    if (resolution == 0 || samplingRate <= 0 || sampleFormat.isEmpty() || channels.isEmpty() ||
        channels.size() > kMaxRecordingChannels)
        return nullptr;

    auto recording =
        std::make_unique<FileSignal>(path, channels.size(), samplingRate, FileSignal::StudyHeaderSize, false);
    recording->setAmplitudeRange(gainMin, gainMax);
    recording->setResolutionBits(resolution);
    for (int i = 0; i < channels.size(); ++i) recording->setChannelName(i, channels.at(i).toString());
    return recording;
}

std::unique_ptr<BeatFile> openBeatFile(const QString &path, int channels) {
    if (channels < 1 || channels > kMaxRecordingChannels || !startsWith(path, kBeatsMagic)) return nullptr;
    return std::make_unique<BeatFile>(path, channels, BeatFile::StudyHeaderSize, false);
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

#include "store/StudyArchives.h"

#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"
#include "store/StudyContentCheck.h"
#include "store/StudyFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <optional>
#include <stdexcept>
#include <string>

namespace StudyArchives {

const char *const kNotValid = "File is not a valid Tarvelin study Zip archive";

namespace {

const char *const kComment = "HXZIP1";
// Each file goes into the archive under its extension, study file first.
const char *const kEntries[] = {"hxstudy", "hxecg", "hxbeats"};

QString text(const QJsonObject &object, const char *key) { return object.value(QLatin1String(key)).toString(); }

// The first `count` bytes of a regular file; empty when it cannot be read.
QByteArray prefixOf(const QString &path, qint64 count) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) return QByteArray();
    return file.read(count);
}

}  // namespace

QByteArray infoDocument(const StudyInfo &row) {
    QJsonObject patient;
    patient.insert(QStringLiteral("lastName"), QString::fromUtf8(row.patientLastName));
    patient.insert(QStringLiteral("firstName"), QString::fromUtf8(row.patientFirstName));
    QJsonObject info;
    info.insert(QStringLiteral("baseFilename"), QString::fromUtf8(row.baseFilename));
    info.insert(QStringLiteral("studyDateTime"), QString::fromUtf8(row.studyDateTime));
    info.insert(QStringLiteral("studyType"), QString::fromUtf8(row.studyType));
    info.insert(QStringLiteral("patient"), patient);
    return QJsonDocument(info).toJson(QJsonDocument::Compact);
}

bool readArchiveInfo(const QString &archivePath, StudyInfo &info) {
    QZipFileExtractor archive(archivePath);
    if (archive.comment() != QLatin1String(kComment)) return false;
    QBuffer buffer;
    try {
        if (!archive.extract(QStringLiteral("info"), &buffer, StudyContentCheck::kMaxInfoBytes)) return false;
    } catch (const std::runtime_error &error) {
        // An oversized description is a foreign archive, not a broken one.
        if (std::string(error.what()) == QZipFileExtractor::kTooLarge) return false;
        throw;
    }
    const QJsonObject document = QJsonDocument::fromJson(buffer.data()).object();
    const QJsonValue base = document.value(QLatin1String("baseFilename"));
    const QJsonObject patient = document.value(QLatin1String("patient")).toObject();
    if (document.isEmpty() || !base.isString() || base.toString().isEmpty() || patient.isEmpty()) return false;
    info.id = 0;
    info.baseFilename = base.toString().toUtf8();
    info.studyDateTime = text(document, "studyDateTime").toUtf8();
    info.studyType = text(document, "studyType").toUtf8();
    info.patientLastName = text(patient, "lastName").toUtf8();
    info.patientFirstName = text(patient, "firstName").toUtf8();
    return true;
}

QList<QPair<StudyInfo, QString>> listArchives(const QString &folder) {
    QList<QPair<StudyInfo, QString>> found;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.hxz")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : names) {
        StudyInfo info;
        try {
            if (readArchiveInfo(QStringLiteral("%1/%2").arg(folder, name), info)) found.append({info, name});
        } catch (const std::exception &) {
            // A damaged or foreign archive in a shared folder is not listed.
        }
    }
    return found;
}

void checkStoredStudy(const StudyInfo &row, const QString &root) {
    const QString base = QString::fromUtf8(row.baseFilename);
    auto fail = [](const QString &path, const QString &reason) {
        throw std::runtime_error(QStringLiteral("Cannot export %1: %2").arg(path, reason).toStdString());
    };
    const QString studyFile = StudyFiles::pathOf(root, base, "hxstudy");
    QString problem;
    const std::optional<QJsonObject> document = StudyFiles::readStudyDocument(studyFile, &problem);
    if (!document) fail(studyFile, problem);
    qint32 id = 0;
    problem = StudyContentCheck::documentProblem(*document, row.baseFilename, &id);
    if (problem.isEmpty() && id != row.id) problem = QStringLiteral("it holds study %1").arg(id);
    if (!problem.isEmpty()) fail(studyFile, problem);

    StudyContentCheck::RecordingGeometry geometry;
    const QString recordingFile = StudyFiles::pathOf(root, base, "hxecg");
    problem = StudyContentCheck::recordingProblem(prefixOf(recordingFile, StudyContentCheck::kRecordingPrefixBytes),
                                                  QFileInfo(recordingFile).size(), id, geometry);
    if (!problem.isEmpty()) fail(recordingFile, problem);
    const QString beatsFile = StudyFiles::pathOf(root, base, "hxbeats");
    problem = StudyContentCheck::beatsProblem(prefixOf(beatsFile, StudyContentCheck::kBeatsPrefixBytes),
                                              QFileInfo(beatsFile).size(), geometry);
    if (!problem.isEmpty()) fail(beatsFile, problem);
}

void writeArchive(const StudyInfo &row, const QString &root, const QString &folder) {
    checkStoredStudy(row, root);
    const QString base = QString::fromUtf8(row.baseFilename);
    // The creator writes through a save file: the previous archive of that
    // name stays in place until the new one is complete.
    QZipFileCreator archive(StudyFiles::archivePathOf(folder, base));
    archive.setComment(QLatin1String(kComment));
    for (const char *entry : kEntries) archive.addFile(StudyFiles::pathOf(root, base, entry), QLatin1String(entry));
    archive.addData(infoDocument(row), QStringLiteral("info"));
    archive.close();
}

}  // namespace StudyArchives

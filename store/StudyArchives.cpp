#include "store/StudyArchives.h"

#include "store/QZipFileCreator.h"
#include "store/QZipFileExtractor.h"
#include "store/StudyBaseName.h"
#include "store/StudyFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace StudyArchives {

const char *const kNotValid = "File is not a valid Tarvelin study Zip archive";

namespace {

const char *const kComment = "HXZIP1";
// Each file goes into the archive under its extension, study file first.
const char *const kEntries[] = {"hxstudy", "hxecg", "hxbeats"};

// Replaces `to` with `from` in one step where the platform allows it.
bool replaceFile(const QString &from, const QString &to) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), error);
    return !error;
}

QString text(const QJsonObject &object, const char *key) { return object.value(QLatin1String(key)).toString(); }

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
    if (!archive.extract(QStringLiteral("info"), &buffer)) return false;
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

void writeArchive(const StudyInfo &row, const QString &root, const QString &folder) {
    const QString base = QString::fromUtf8(row.baseFilename);
    // The creator writes through a save file: the previous archive of that
    // name stays in place until the new one is complete.
    QZipFileCreator archive(QStringLiteral("%1/%2.hxz").arg(folder, base));
    archive.setComment(QLatin1String(kComment));
    for (const char *entry : kEntries) archive.addFile(StudyFiles::pathOf(root, base, entry), QLatin1String(entry));
    archive.addData(infoDocument(row), QStringLiteral("info"));
    archive.close();
}

Unpacked::Unpacked(const QString &archivePath, const QString &root) : root_(root) {
    if (!readArchiveInfo(archivePath, info_) || !StudyBaseName::isPlainFileName(info_.baseFilename))
        throw std::runtime_error(kNotValid);

    const QString base = QString::fromUtf8(info_.baseFilename);
    try {
        QZipFileExtractor archive(archivePath);
        for (const auto &entry : kEntries) {
            const QString final = StudyFiles::pathOf(root, base, entry);
            const QString temporary = final + QStringLiteral(".import");
            moves_.append({temporary, final});
            if (!archive.extractFile(QLatin1String(entry), temporary)) throw std::runtime_error(kNotValid);
        }
        const auto document = StudyFiles::readStudyDocument(moves_.first().first);
        const QJsonObject study = document ? document->value(QLatin1String("study")).toObject() : QJsonObject();
        if (!document || document->isEmpty() || study.isEmpty()) throw std::runtime_error(kNotValid);
        info_.id = study.value(QLatin1String("id")).toInt();
    } catch (...) {
        removeTemporaries();
        throw;
    }
}

Unpacked::~Unpacked() { removeTemporaries(); }

void Unpacked::commit() {
    // The study file goes last, so a study is never indexable before its
    // signal files are in place.
    for (int i = moves_.size() - 1; i >= 0; --i) {
        if (!replaceFile(moves_[i].first, moves_[i].second)) throw std::runtime_error("Cannot create file");
    }
    moves_.clear();
}

void Unpacked::removeTemporaries() {
    for (const auto &move : moves_) QFile::remove(move.first);
    moves_.clear();
}

}  // namespace StudyArchives

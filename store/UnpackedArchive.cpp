#include "store/UnpackedArchive.h"

#include "store/QZipFileExtractor.h"
#include "store/StudyArchives.h"
#include "store/StudyBaseName.h"
#include "store/StudyCompression.h"
#include "store/StudyContentCheck.h"
#include "store/StudyFiles.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

using StudyArchives::NotValid;

namespace {

// Each file travels in the archive under its extension, study file first.
const char *const kEntries[] = {"hxstudy", "hxecg", "hxbeats"};

// Replaces `to` with `from` in one step where the platform allows it.
bool moveFile(const QString &from, const QString &to) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), error);
    return !error;
}

bool exists(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("Cannot create file");
    if (file.write(bytes) != bytes.size() || !file.flush()) throw std::runtime_error("Write error");
}

// The entry's declared size, refusing an archive without it.
qint64 sizeOf(QZipFileExtractor &archive, const char *entry) {
    const qint64 size = archive.entrySize(QLatin1String(entry));
    if (size < 0) throw NotValid(QStringLiteral("the archive has no \"%1\" entry").arg(QLatin1String(entry)));
    return size;
}

QByteArray prefixOf(QZipFileExtractor &archive, const char *entry, qint64 count) {
    QByteArray prefix;
    archive.extractPrefix(QLatin1String(entry), count, prefix);
    return prefix;
}

void refuseIf(const QString &problem, const char *entry) {
    if (!problem.isEmpty()) throw NotValid(QStringLiteral("\"%1\" entry: %2").arg(QLatin1String(entry), problem));
}

}  // namespace

UnpackedArchive::UnpackedArchive(const QString &archivePath, const QString &root) : root_(root) {
    if (!StudyArchives::readArchiveInfo(archivePath, info_))
        throw NotValid(QStringLiteral("it is not marked HXZIP1 or has no usable \"info\" entry"));
    if (!StudyBaseName::isPlainFileName(info_.baseFilename))
        throw NotValid(
            QStringLiteral("its base name \"%1\" is not a plain file name").arg(QString::fromUtf8(info_.baseFilename)));

    QZipFileExtractor archive(archivePath);
    // Everything is checked from declared sizes and first bytes before a
    // byte reaches the disk; only the document, small by its cap, is read whole.
    const qint64 studySize = sizeOf(archive, "hxstudy");
    if (studySize > StudyContentCheck::kMaxStudyFileBytes)
        refuseIf(QStringLiteral("larger than any study document"), "hxstudy");
    QBuffer studyBytes;
    archive.extract(QStringLiteral("hxstudy"), &studyBytes, StudyContentCheck::kMaxStudyFileBytes);
    QString problem;
    const std::optional<QJsonObject> document = StudyFiles::parseStudyDocument(studyBytes.data(), &problem);
    refuseIf(problem, "hxstudy");
    refuseIf(StudyContentCheck::documentProblem(*document, info_.baseFilename, &info_.id), "hxstudy");
    document_ = *document;

    StudyContentCheck::RecordingGeometry geometry;
    const qint64 recordingSize = sizeOf(archive, "hxecg");
    refuseIf(StudyContentCheck::recordingProblem(prefixOf(archive, "hxecg", StudyContentCheck::kRecordingPrefixBytes),
                                                 recordingSize, info_.id, geometry),
             "hxecg");
    const qint64 beatsSize = sizeOf(archive, "hxbeats");
    refuseIf(StudyContentCheck::beatsProblem(prefixOf(archive, "hxbeats", StudyContentCheck::kBeatsPrefixBytes),
                                             beatsSize, geometry),
             "hxbeats");

    // A private folder inside the root keeps the unpacked files on the same
    // volume as their final place (so putting them there is a rename) and
    // out of sight of anything that lists study files.
    folder_ = std::make_unique<QTemporaryDir>(root_ + QStringLiteral("/.import-XXXXXX"));
    if (!folder_->isValid()) throw std::runtime_error("Cannot create file");
    writeFile(privatePath("hxstudy"), studyBytes.data());
    // Bound by the checked declared sizes; the extractor also insists the
    // entries inflate to exactly that and match their checksums.
    archive.extractFile(QStringLiteral("hxecg"), privatePath("hxecg"), recordingSize);
    archive.extractFile(QStringLiteral("hxbeats"), privatePath("hxbeats"), beatsSize);
}

UnpackedArchive::~UnpackedArchive() {
    if (placed_) rollBack();
}

QString UnpackedArchive::privatePath(const char *name) const { return folder_->filePath(QLatin1String(name)); }

void UnpackedArchive::rename(const QByteArray &base) {
    QJsonObject study = document_.value(QLatin1String("study")).toObject();
    study.insert(QStringLiteral("baseFilename"), QString::fromUtf8(base));
    document_.insert(QStringLiteral("study"), study);
    info_.baseFilename = base;
    writeFile(privatePath("hxstudy"),
              QByteArray("HXSTUDY2") +
                  StudyCompression::compress(QJsonDocument(document_).toJson(QJsonDocument::Compact)));
}

void UnpackedArchive::putInPlace() {
    const QString base = QString::fromUtf8(info_.baseFilename);
    moves_.clear();
    for (const char *entry : kEntries) {
        Move move;
        move.unpacked = privatePath(entry);
        move.final = StudyFiles::pathOf(root_, base, entry);
        moves_.append(move);
    }
    placed_ = true;
    // Replaced files are kept aside first; then the study file goes last, so
    // a study is never indexable before its signal files are in place.
    for (Move &move : moves_) {
        if (!exists(move.final)) continue;
        const QString aside = move.unpacked + QStringLiteral(".replaced");
        if (!moveFile(move.final, aside)) {
            rollBack();
            throw std::runtime_error("Cannot create file");
        }
        move.replaced = aside;
    }
    for (int i = moves_.size() - 1; i >= 0; --i) {
        if (!moveFile(moves_[i].unpacked, moves_[i].final)) {
            rollBack();
            throw std::runtime_error("Cannot create file");
        }
        moves_[i].placed = true;
    }
}

void UnpackedArchive::finish() {
    placed_ = false;
    moves_.clear();
    folder_.reset();
}

void UnpackedArchive::rollBack() {
    bool restored = true;
    for (Move &move : moves_) {
        if (move.placed && !moveFile(move.final, move.unpacked)) restored = false;
        if (!move.replaced.isEmpty() && !moveFile(move.replaced, move.final)) restored = false;
        move.placed = false;
        move.replaced.clear();
    }
    placed_ = false;
    // A replaced file that could not go back is only in the private folder:
    // keep the folder rather than lose the study.
    if (!restored && folder_) folder_->setAutoRemove(false);
}

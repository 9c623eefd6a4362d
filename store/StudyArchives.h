#pragma once
// Study archives (".hxz"): a zip of the three study files and a small "info"
// description, written for sharing and read back on import.

#include "store/StudyInfo.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace StudyArchives {

extern const char *const kNotValid;  // "File is not a valid Tarvelin study Zip archive"

// The "info" entry for an index row.
QByteArray infoDocument(const StudyInfo &row);

// Fills id 0, baseFilename, studyDateTime, studyType and the patient's names
// from the archive's "info"; false when the archive is not one of ours.
// Errors opening the archive are thrown with the zip texts.
bool readArchiveInfo(const QString &archivePath, StudyInfo &info);

// The "*.hxz" archives of `folder` that describe themselves, by name
// ignoring case, each with its file name; the others are skipped.
QList<QPair<StudyInfo, QString>> listArchives(const QString &folder);

// Writes folder/base.hxz from the three files of `row` under `root`; a
// failure leaves the previous archive of that name intact. Throws the zip
// texts.
void writeArchive(const StudyInfo &row, const QString &root, const QString &folder);

// The files of an archive unpacked under temporary names in the store root,
// checked, and waiting to replace root/base.* on commit(); removed when
// dropped uncommitted. Throws kNotValid for anything that is not a complete
// study archive with a plain base name, and the zip texts.
class Unpacked {
public:
    Unpacked(const QString &archivePath, const QString &root);
    ~Unpacked();
    Unpacked(const Unpacked &) = delete;
    Unpacked &operator=(const Unpacked &) = delete;

    // The description, with the id of the study document.
    const StudyInfo &info() const { return info_; }
    // Moves the files over root/base.*. Throws "Cannot create file" when a
    // file cannot be put in place.
    void commit();

private:
    void removeTemporaries();

    StudyInfo info_;
    QString root_;
    QList<QPair<QString, QString>> moves_;  // temporary path, final path
};

}  // namespace StudyArchives

#pragma once
// Study archives (".hxz"): a zip of the three study files and a small "info"
// description, written for sharing and read back on import.

#include "store/StudyInfo.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <stdexcept>

namespace StudyArchives {

extern const char *const kNotValid;  // "File is not a valid Tarvelin study Zip archive"

// An archive refused for what it holds: what() is kNotValid, reason() says
// which entry is wrong and how.
class NotValid : public std::runtime_error {
public:
    explicit NotValid(const QString &reason) : std::runtime_error(kNotValid), reason_(reason) {}
    QString reason() const { return reason_; }

private:
    QString reason_;
};

// The "info" entry for an index row.
QByteArray infoDocument(const StudyInfo &row);

// Fills id 0, baseFilename, studyDateTime, studyType and the patient's names
// from the archive's "info"; false when the archive is not one of ours.
// Errors opening the archive are thrown with the zip texts.
bool readArchiveInfo(const QString &archivePath, StudyInfo &info);

// The "*.hxz" archives of `folder` that describe themselves, by name
// ignoring case, each with its file name; the others are skipped.
QList<QPair<StudyInfo, QString>> listArchives(const QString &folder);

// Writes folder/base.hxz from the three files of `row` under `root`, once
// they have passed checkStoredStudy; a failure leaves the previous archive of
// that name intact. Throws "Cannot export ...: reason" for a study whose
// files do not read back, and the zip texts.
void writeArchive(const StudyInfo &row, const QString &root, const QString &folder);

// Throws "Cannot export PATH: reason" unless the three files of `row` under
// `root` read back as a study that import would accept (StudyContentCheck).
void checkStoredStudy(const StudyInfo &row, const QString &root);

}  // namespace StudyArchives

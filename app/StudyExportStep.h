#pragma once
// The automatic export of a study whose recording has just ended: whether it
// is due, to which folder, and whether the archive arrived there.

#include <QByteArray>
#include <QString>

class StudyStore;

namespace StudyExportStep {

// The folder a new study of `studyType` is exported to: empty when automatic
// export is off or no folder is set for the study's kind.
QString autoExportFolder(const QByteArray &studyType);

// Writes study `id`'s archive into `folder`. True only when the archive is
// there afterwards: a study the index does not know, an unwritable folder or
// any error of the store counts as a failure, never as an export.
bool exportStudy(StudyStore &store, qint32 id, const QString &folder);

}  // namespace StudyExportStep

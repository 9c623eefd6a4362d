#include "app/StudyExportStep.h"

#include "app/GlobalConfig.h"
#include "app/StressTestStart.h"
#include "store/StudyFiles.h"
#include "store/StudyStore.h"

#include <QFileInfo>
#include <exception>

namespace StudyExportStep {

QString autoExportFolder(const QByteArray &studyType) {
    using GlobalConfig::Key;
    if (!GlobalConfig::flag(Key::AutoExportStudies)) return QString();
    const bool resting = studyType == StressTestStart::kRestingEcgType;
    return GlobalConfig::text(resting ? Key::ExportEcgStudyFolder : Key::ExportStressStudyFolder).trimmed();
}

bool exportStudy(StudyStore &store, qint32 id, const QString &folder) {
    StudyInfo row;
    if (!store.fetchRow(id, row)) return false;
    const QString archive = StudyFiles::archivePathOf(folder, QString::fromUtf8(row.baseFilename));
    try {
        store.exportStudy(id, folder);
    } catch (const std::exception &) {
        return false;
    }
    return QFileInfo(archive).isFile();
}

}  // namespace StudyExportStep

#include "app/FirstStartDefaults.h"

#include "acquisition/AcqDeviceFactory.h"
#include "app/GlobalConfig.h"
#include "app/InstalledLayout.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace FirstStartDefaults {

bool apply(const QString &programFolder) {
    if (QSettings().contains(GlobalConfig::name(GlobalConfig::Key::AcqMode))) return false;
    const QString recording = QDir(InstalledLayout::dataFolder(programFolder)).filePath(QStringLiteral("ecg500.dat"));
    if (!QFileInfo(recording).isFile()) return false;
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, QString::fromLatin1(AcqDeviceFactory::kDemoMode));
    return true;
}

}  // namespace FirstStartDefaults

#include "app/InstalledLayout.h"

#include <QDir>

namespace InstalledLayout {

QString dataFolder(const QString &programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/tarvelin-ecg"));
}

QString translationsFolder(const QString &programFolder) {
    return dataFolder(programFolder) + QStringLiteral("/translations");
}

}  // namespace InstalledLayout

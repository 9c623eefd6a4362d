#include "app/StoreLocation.h"

#include <QStandardPaths>

namespace StoreLocation {

QString root() {
    const QString chosen = qEnvironmentVariable("TARVELIN_STORE");
    if (!chosen.isEmpty()) return chosen;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/studies");
}

}  // namespace StoreLocation

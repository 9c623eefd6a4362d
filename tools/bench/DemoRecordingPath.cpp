#include "Benchmarks.h"

#include <QCoreApplication>
#include <QFileInfo>

QString demoRecordingPath() {
    const QString built = QStringLiteral(TARVELIN_DEMO_RECORDING);
    if (QFileInfo(built).isFile()) return built;
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tarvelin-ecg/ecg500.dat");
}

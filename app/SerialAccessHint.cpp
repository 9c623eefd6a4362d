#include "app/SerialAccessHint.h"

#include "acquisition/SerialPort.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <stdexcept>
#include <unistd.h>

namespace SerialAccessHint {

bool permissionDenied(const QString &devicePath) {
    const QByteArray path = QFile::encodeName(devicePath);
    if (::access(path.constData(), F_OK) != 0) return false;
    return ::access(path.constData(), R_OK | W_OK) != 0 && errno == EACCES;
}

QString dialoutNote(const QString &devicePath) {
    return QCoreApplication::translate("SerialAccessHint",
                                       "You are not allowed to use %1. Serial ports belong to the group "
                                       "\"dialout\": ask your administrator to add your user to it "
                                       "(sudo adduser USER dialout), then log out and in again.")
        .arg(devicePath);
}

void requireAccess(const QString &portName) {
    const QString path = SerialPort::devicePath(portName);
    if (!permissionDenied(path)) return;
    const QString text = QString::fromUtf8(SerialPort::kEcgOpenFailure) + QStringLiteral("\n\n") + dialoutNote(path);
    throw std::runtime_error(text.toLocal8Bit().toStdString());
}

}  // namespace SerialAccessHint

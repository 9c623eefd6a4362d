#include "tools/sim/DeviceSimPty.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

DeviceSimPty::~DeviceSimPty() {
    // Only a link that still points at our terminal is ours to remove.
    if (!linkPath_.isEmpty() && QFileInfo(linkPath_).symLinkTarget() == slavePath_) QFile::remove(linkPath_);
    if (master_ >= 0) ::close(master_);
}

bool DeviceSimPty::open(const QString &linkPath, QString *error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        *error =
            QStringLiteral("cannot create a pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const char *name = ::ptsname(master_);
    if (!name) {
        *error =
            QStringLiteral("cannot name the pseudo-terminal: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    slavePath_ = QString::fromLocal8Bit(name);

    // Packet bytes must pass untouched until the host configures its side:
    // no echo, no newline translation, no flow-control or signal characters.
    termios settings{};
    if (::tcgetattr(master_, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(master_, TCSANOW, &settings);
    }

    if (linkPath.isEmpty()) return true;
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        if (!QFile::remove(linkPath)) {
            *error = QStringLiteral("cannot replace the old link %1").arg(linkPath);
            return false;
        }
    } else if (existing.exists()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it").arg(linkPath);
        return false;
    }
    if (!QFile::link(slavePath_, linkPath)) {
        *error = QStringLiteral("cannot make the link %1").arg(linkPath);
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

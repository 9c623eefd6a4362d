#include "tools/cli/RegularFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

bool open(QFile &file, QString *error) {
    const QString name = file.fileName();
    const QByteArray path = QFile::encodeName(name);
    // Without O_NONBLOCK the open of a pipe itself waits for a writer.
    const int probe = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (probe < 0) {
        *error = QStringLiteral("cannot read %1: %2").arg(name, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat probed {};
    const bool regular = ::fstat(probe, &probed) == 0 && S_ISREG(probed.st_mode);
    ::close(probe);
    if (!regular) {
        *error = QStringLiteral("cannot read %1: not a regular file").arg(name);
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(name, file.errorString());
        return false;
    }
    // The name must still lead to the file just checked.
    struct stat opened {};
    if (::fstat(file.handle(), &opened) != 0 || opened.st_dev != probed.st_dev || opened.st_ino != probed.st_ino) {
        file.close();
        *error = QStringLiteral("cannot read %1: it changed while it was opened").arg(name);
        return false;
    }
    return true;
}

}  // namespace RegularFile

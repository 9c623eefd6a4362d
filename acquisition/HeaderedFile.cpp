#include "acquisition/HeaderedFile.h"

#include <QByteArray>
#include <algorithm>
#include <cerrno>
#include <limits>
#include <stdexcept>

HeaderedFile::HeaderedFile(const QString &path, std::int64_t headerSize, bool create, Access access)
    : file_(path), headerSize_(headerSize), created_(create) {
    if (headerSize < 0 || headerSize > std::numeric_limits<int>::max())
        throw std::invalid_argument("Invalid header size");
    // Unbuffered: every write goes straight to the operating system, so a
    // crash of the program loses nothing that was appended, and a failed
    // write is seen at the call that made it rather than at some later flush.
    if (create) {
        if (!file_.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
            throw std::runtime_error("Cannot create file");
        // A header that cannot be written leaves the file unusable for
        // recording; the failure is kept in the write-error flag rather than
        // thrown, so the owner can still show why.
        writeHeader(nullptr, 0);
    } else {
        const QIODevice::OpenMode mode = access == Access::ReadOnly ? QIODevice::ReadOnly : QIODevice::ReadWrite;
        if (!file_.open(mode | QIODevice::ExistingOnly | QIODevice::Unbuffered))
            throw std::runtime_error("Cannot open file");
    }
}

HeaderedFile::~HeaderedFile() { file_.close(); }

std::int64_t HeaderedFile::dataSize() const { return std::max<std::int64_t>(0, file_.size() - headerSize_); }

bool HeaderedFile::writeHeader(const char *data, std::int64_t size) {
    QByteArray header(static_cast<int>(headerSize_), '\0');
    if (data && size > 0) std::copy(data, data + std::min(size, headerSize_), header.data());
    return writeAt(0, header.constData(), header.size());
}

bool HeaderedFile::seekTo(std::int64_t offset) const {
    // A character device or pipe has no positions: its data just flows.
    return file_.isSequential() || file_.seek(offset);
}

bool HeaderedFile::writeAt(std::int64_t offset, const char *data, std::int64_t size) {
    if (size <= 0) return true;
    if (!seekTo(offset)) {
        recordWriteError(file_.errorString());
        return false;
    }
    errno = 0;
    const qint64 written = file_.write(data, size);
    const int writeErrno = errno;
    if (written != size) {
        // A short write leaves no error on the QFile; the operating system's
        // reason is in errno from the call that stopped the write.
        if (written < 0 || file_.error() != QFileDevice::NoError)
            recordWriteError(file_.errorString());
        else if (writeErrno != 0)
            recordWriteError(qt_error_string(writeErrno));
        else
            recordWriteError(QStringLiteral("Only %1 of %2 bytes were written").arg(written).arg(size));
        return false;
    }
    if (!file_.flush()) {
        recordWriteError(file_.errorString());
        return false;
    }
    return true;
}

std::int64_t HeaderedFile::readAt(std::int64_t offset, char *data, std::int64_t size) const {
    if (size <= 0 || offset < 0 || file_.isSequential() || !file_.seek(offset)) return 0;
    const qint64 got = file_.read(data, size);
    return got > 0 ? got : 0;
}

bool HeaderedFile::truncate(std::int64_t size) { return !file_.isSequential() && file_.resize(size); }

bool HeaderedFile::discardData() {
    if (!truncate(headerSize_) || dataSize() != 0) return false;
    writeError_ = false;
    writeErrorString_.clear();
    return true;
}

void HeaderedFile::recordWriteError(const QString &reason) {
    // The first failure is the cause; later ones usually follow from it.
    if (writeError_) return;
    writeError_ = true;
    writeErrorString_ = reason.isEmpty() ? QStringLiteral("Write failed") : reason;
}

#include "store/QZipFileExtractor.h"

#include "store/ZipIoDevice.h"

#include <QFileInfo>
#include <QSaveFile>
#include <minizip/unzip.h>

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace {

constexpr int chunkSize = 32768;
constexpr int nameBufferSize = 256;
constexpr uLong maxCommentLength = 0xFFFF;

// Closes the entry opened in the archive when extraction stops early, so the
// extractor stays usable and minizip's buffers are released.
class CurrentEntry {
public:
    explicit CurrentEntry(unzFile zip) : zip_(zip) {}
    ~CurrentEntry() {
        if (zip_) unzCloseCurrentFile(zip_);
    }
    int close() {
        const int result = unzCloseCurrentFile(zip_);
        zip_ = nullptr;
        return result;
    }
    CurrentEntry(const CurrentEntry &) = delete;
    CurrentEntry &operator=(const CurrentEntry &) = delete;

private:
    unzFile zip_;
};

void writeAll(QIODevice *device, const char *data, qint64 size) {
    if (device->write(data, size) != size) throw std::runtime_error("Write error");
}

}  // namespace

QZipFileExtractor::QZipFileExtractor(const QString &path, QObject *parent) : QObject(parent), path_(path), file_(path) {
    // Only a regular file is an archive: opening a named pipe would wait for a
    // writer that never comes, and a device would be read without end.
    if (!QFileInfo(path).isFile() || !file_.open(QIODevice::ReadOnly))
        throw std::runtime_error("Cannot open zip archive");
    zlib_filefunc64_def functions = ZipIoDevice::functions(&file_);
    unzip_ = unzOpen2_64(QFile::encodeName(path_).constData(), &functions);
    if (!unzip_) throw std::runtime_error("Cannot open zip archive");

    unz_global_info64 info{};
    if (unzGetGlobalInfo64(unzip_, &info) != UNZ_OK) {
        unzClose(unzip_);
        unzip_ = nullptr;
        throw std::runtime_error("Cannot read zip archive");
    }
    entryCount_ = info.number_entry;
    if (info.size_comment == 0) return;
    // The length is a 16-bit field; anything larger means a broken reader
    // state, and must not become an allocation.
    QByteArray comment;
    if (info.size_comment <= maxCommentLength) {
        comment.resize(static_cast<int>(info.size_comment) + 1);
        const int got = unzGetGlobalComment(unzip_, comment.data(), info.size_comment + 1);
        if (got >= 0 && static_cast<uLong>(got) == info.size_comment) {
            comment_ = QString::fromUtf8(comment.constData(), got);
            return;
        }
    }
    unzClose(unzip_);
    unzip_ = nullptr;
    throw std::runtime_error("Cannot read comment in zip archive");
}

QZipFileExtractor::~QZipFileExtractor() {
    if (unzip_) unzClose(unzip_);
}

QString QZipFileExtractor::comment() const { return comment_; }

qulonglong QZipFileExtractor::entryCount() const { return entryCount_; }

const char *const QZipFileExtractor::kTooLarge = "File in zip archive is too large";

bool QZipFileExtractor::extract(const QString &entryName, QIODevice *device, qint64 maxBytes) {
    const bool wasOpen = device->isOpen();
    bool found = false;
    try {
        found = extractInto(entryName, device, maxBytes);
    } catch (...) {
        if (!wasOpen && device->isOpen()) device->close();
        throw;
    }
    if (found && !wasOpen) {
        // Buffered bytes reach the disk here; a failure must not pass as done.
        auto *file = qobject_cast<QFileDevice *>(device);
        const bool flushed = !file || file->flush();
        device->close();
        if (!flushed) throw std::runtime_error("Write error");
    }
    return found;
}

bool QZipFileExtractor::extractFile(const QString &entryName, const QString &filePath, qint64 maxBytes) {
    QSaveFile file(filePath);
    if (!extractInto(entryName, &file, maxBytes)) return false;
    if (!file.commit()) throw std::runtime_error("Write error");
    return true;
}

qint64 QZipFileExtractor::entrySize(const QString &entryName) {
    unz_file_info64 info{};
    if (!locate(entryName, info)) return -1;
    // A declared size past what a signed 64-bit count holds is as good as
    // infinite; keep it comparable.
    return info.uncompressed_size > ZPOS64_T(std::numeric_limits<qint64>::max()) ? std::numeric_limits<qint64>::max()
                                                                                 : qint64(info.uncompressed_size);
}

bool QZipFileExtractor::extractPrefix(const QString &entryName, qint64 count, QByteArray &bytes) {
    unz_file_info64 info{};
    if (!locate(entryName, info)) return false;
    if (unzOpenCurrentFile(unzip_) != UNZ_OK) throw std::runtime_error("Cannot open file in zip archive");
    CurrentEntry entry(unzip_);
    bytes.clear();
    QByteArray chunk(int(std::min<qint64>(count, chunkSize)), Qt::Uninitialized);
    while (bytes.size() < count) {
        const int wanted = int(std::min<qint64>(count - bytes.size(), chunk.size()));
        const int got = unzReadCurrentFile(unzip_, chunk.data(), unsigned(wanted));
        if (got < 0) throw std::runtime_error("Cannot read file in zip archive");
        if (got == 0) break;
        bytes.append(chunk.constData(), got);
    }
    return true;
}

bool QZipFileExtractor::locate(const QString &entryName, unz_file_info64 &info) {
    const QByteArray name = entryName.toUtf8();
    // minizip compares C strings: an embedded zero would match a shorter name.
    if (!unzip_ || name.contains('\0') || name.size() >= nameBufferSize) return false;
    if (unzLocateFile(unzip_, name.constData(), 0) != UNZ_OK) return false;
    char storedName[nameBufferSize];
    if (unzGetCurrentFileInfo64(unzip_, &info, storedName, sizeof storedName, nullptr, 0, nullptr, 0) != UNZ_OK)
        throw std::runtime_error("Cannot get file info from zip archive");
    return true;
}

bool QZipFileExtractor::extractInto(const QString &entryName, QIODevice *device, qint64 maxBytes) {
    unz_file_info64 info{};
    if (!locate(entryName, info)) return false;
    // Refused on the declared size, before a byte is inflated.
    if (maxBytes >= 0 && info.uncompressed_size > ZPOS64_T(maxBytes)) throw std::runtime_error(kTooLarge);
    if (unzOpenCurrentFile(unzip_) != UNZ_OK) throw std::runtime_error("Cannot open file in zip archive");
    CurrentEntry entry(unzip_);

    QByteArray chunk(chunkSize, Qt::Uninitialized);
    ZPOS64_T total = 0;
    for (;;) {
        const int got = unzReadCurrentFile(unzip_, chunk.data(), chunkSize);
        if (got < 0) throw std::runtime_error("Cannot read file in zip archive");
        // The declared size is only a claim; the inflated bytes are counted
        // too, so no entry ever yields more than the bound.
        if (maxBytes >= 0 && total + ZPOS64_T(got) > ZPOS64_T(maxBytes)) throw std::runtime_error(kTooLarge);
        // Opened on the first good read, even an empty one, so an empty entry
        // still gives an empty file rather than no file.
        if (!device->isOpen() && !device->open(QIODevice::WriteOnly)) throw std::runtime_error("Cannot create file");
        if (got == 0) break;
        writeAll(device, chunk.constData(), got);
        total += static_cast<ZPOS64_T>(got);
    }
    const int closed = entry.close();
    // minizip checks the checksum only when the declared size was reached, so
    // an entry that ends early is caught by its size.
    if (closed != UNZ_OK || total != info.uncompressed_size)
        throw std::runtime_error("Corrupt file read from zip archive");
    return true;
}

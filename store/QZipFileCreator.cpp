#include "store/QZipFileCreator.h"

#include "store/ZipEntryDeflater.h"
#include "store/ZipIoDevice.h"

#include <QFile>
#include <minizip/zip.h>

#include <exception>
#include <stdexcept>

namespace {

constexpr qint64 chunkSize = 32768;
// Name and comment lengths are 16-bit fields; minizip would silently
// truncate the field and write a corrupt archive.
constexpr int maxFieldLength = 0xFFFF;

}  // namespace

QZipFileCreator::QZipFileCreator(const QString &path, QObject *parent)
    : QObject(parent), path_(path), file_(path), exceptionsAtStart_(std::uncaught_exceptions()) {
    if (!file_.open(QIODevice::WriteOnly)) throw std::runtime_error("Cannot create zip archive");
    zlib_filefunc64_def functions = ZipIoDevice::functions(&file_);
    zip_ = zipOpen2_64(QFile::encodeName(path_).constData(), APPEND_STATUS_CREATE, nullptr, &functions);
    if (!zip_) {
        file_.cancelWriting();
        throw std::runtime_error("Cannot create zip archive");
    }
}

QZipFileCreator::~QZipFileCreator() {
    if (!zip_) return;
    const bool unwinding = std::uncaught_exceptions() > exceptionsAtStart_;
    if (unwinding || failed_) {
        discard();
        return;
    }
    try {
        close();
    } catch (...) {
        // A destructor cannot report; callers learn the outcome from close().
    }
}

void QZipFileCreator::addFile(const QString &filePath, const QString &entryName) {
    // A source that cannot be read must not turn into an empty entry.
    QFile source(filePath);
    if (!source.open(QIODevice::ReadOnly)) fail("Cannot write data in zip file");
    openEntry(entryName);
    QByteArray chunk(static_cast<int>(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(chunk.data(), chunkSize);
        if (got < 0) {
            source.close();
            fail("Cannot write data in zip file");
        }
        if (got == 0) break;
        writeToEntry(chunk.constData(), static_cast<unsigned>(got));
    }
    source.close();
    closeEntry();
}

void QZipFileCreator::addData(const QByteArray &bytes, const QString &entryName) {
    openEntry(entryName);
    writeToEntry(bytes.constData(), static_cast<unsigned>(bytes.size()));
    closeEntry();
}

void QZipFileCreator::setComment(const QString &text) { comment_ = text; }

void QZipFileCreator::close() {
    if (committed_) return;
    if (!zip_) throw std::runtime_error("Cannot close zip archive");
    const QByteArray comment = comment_.toUtf8();
    if (comment.size() > maxFieldLength || comment.contains('\0')) failed_ = true;
    const int result = zipClose(zip_, comment.isEmpty() || failed_ ? nullptr : comment.constData());
    zip_ = nullptr;
    if (result != ZIP_OK || failed_) {
        file_.cancelWriting();
        throw std::runtime_error("Cannot close zip archive");
    }
    if (!file_.commit()) throw std::runtime_error("Cannot close zip archive");
    committed_ = true;
}

void QZipFileCreator::openEntry(const QString &entryName) {
    const QByteArray name = entryName.toUtf8();
    if (!zip_ || failed_ || name.size() > maxFieldLength || name.contains('\0')) fail("Cannot open new file in zip");
    // All zero: no date, so identical studies give identical archives.
    zip_fileinfo info{};
    // Raw: minizip stores the deflate stream it is given and writes the CRC
    // and size it is told when the entry closes.
    const int result = zipOpenNewFileInZip2(zip_, name.constData(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                            ZipEntryDeflater::level, 1);
    if (result != ZIP_OK) fail("Cannot open new file in zip");
    entry_ =
        std::make_unique<ZipEntryDeflater>([this](const char *data, std::size_t size) { storeInEntry(data, size); });
}

void QZipFileCreator::writeToEntry(const char *data, unsigned size) {
    try {
        entry_->write(data, size);
    } catch (const std::runtime_error &) {
        fail("Cannot write data in zip file");
    }
}

void QZipFileCreator::storeInEntry(const char *data, std::size_t size) {
    if (size > 0 && zipWriteInFileInZip(zip_, data, static_cast<unsigned>(size)) != ZIP_OK)
        fail("Cannot write data in zip file");
}

void QZipFileCreator::closeEntry() {
    try {
        entry_->finish();
    } catch (const std::runtime_error &) {
        fail("Cannot write data in zip file");
    }
    const int result = zipCloseFileInZipRaw64(zip_, entry_->size(), entry_->crc());
    entry_.reset();
    if (result != ZIP_OK) fail("Cannot close file in zip");
}

void QZipFileCreator::fail(const char *message) {
    // An entry left half written cannot be repaired, so the whole archive is
    // given up: a later close() reports the failure instead of committing.
    failed_ = true;
    throw std::runtime_error(message);
}

void QZipFileCreator::discard() noexcept {
    if (zip_) zipClose(zip_, nullptr);
    zip_ = nullptr;
    file_.cancelWriting();
}

#pragma once
// A recording file made of a fixed-size header followed by data, held open by
// its owner for its whole life: creation or opening, header writes,
// positioned reads and writes, and a lasting record of any failed write.

#include <QFile>
#include <QString>
#include <cstdint>

class HeaderedFile {
public:
    // How an existing file is opened: a file that is only viewed is opened
    // for reading, so a read-only store or medium can still be shown.
    enum class Access { ReadWrite, ReadOnly };

    // Creates (or truncates) the file and writes a zero-filled header, or opens
    // an existing file with `access`. Throws std::runtime_error
    // "Cannot create file" / "Cannot open file" when the file cannot be had.
    HeaderedFile(const QString &path, std::int64_t headerSize, bool create, Access access = Access::ReadWrite);
    ~HeaderedFile();
    HeaderedFile(const HeaderedFile &) = delete;
    HeaderedFile &operator=(const HeaderedFile &) = delete;

    QString path() const { return file_.fileName(); }
    std::int64_t headerSize() const { return headerSize_; }
    // True when this object created the file (only then may samples be appended).
    bool created() const { return created_; }

    // Bytes past the header as the operating system sees them now.
    std::int64_t dataSize() const;

    // Writes min(size, headerSize) bytes at offset 0 and zero bytes up to
    // headerSize. False when the write failed (the error is recorded).
    bool writeHeader(const char *data, std::int64_t size);

    // Writes at an absolute offset and flushes. False, with the error
    // recorded, when the write fails, is short, or cannot be flushed.
    bool writeAt(std::int64_t offset, const char *data, std::int64_t size);
    // Reads up to `size` bytes from an absolute offset; the count read, which
    // is short at the end of the file and 0 on a read error.
    std::int64_t readAt(std::int64_t offset, char *data, std::int64_t size) const;
    // Cuts the file to `size` bytes; used to drop a partly written item.
    bool truncate(std::int64_t size);
    // Cuts the file back to its header and forgets a recorded write error,
    // which concerned data that is now gone. False, with the error kept,
    // when the file could not be cut.
    bool discardData();

    // Set by the first failed write or flush and kept: a recording that did
    // not reach the disk must stay visible until someone shows it.
    bool hasWriteError() const { return writeError_; }
    QString writeErrorString() const { return writeErrorString_; }

private:
    bool seekTo(std::int64_t offset) const;
    void recordWriteError(const QString &reason);

    mutable QFile file_;
    std::int64_t headerSize_;
    bool created_;
    bool writeError_ = false;
    QString writeErrorString_;
};

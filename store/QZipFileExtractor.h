#pragma once
// Reads a zip archive: its global comment and single entries, streamed into a
// device or a file. Entries are checked against their size and checksum.

#include <QFile>
#include <QObject>
#include <QString>

class QIODevice;
struct unz_file_info64_s;

class QZipFileExtractor : public QObject {
    Q_OBJECT
public:
    // Throws "Cannot open zip archive", "Cannot read zip archive" or
    // "Cannot read comment in zip archive".
    explicit QZipFileExtractor(const QString &path, QObject *parent = nullptr);
    ~QZipFileExtractor() override;

    QString comment() const;
    qulonglong entryCount() const;

    // No entry of an archive is trusted to be small: an entry that declares,
    // or inflates to, more than `maxBytes` throws kTooLarge before more than
    // that is produced.
    static constexpr qint64 kUnbounded = -1;
    static const char *const kTooLarge;  // "File in zip archive is too large"

    // False when the archive has no such entry. The device is opened for
    // writing once the entry has been read from (unless already open) and
    // closed at the end when it was opened here.
    bool extract(const QString &entryName, QIODevice *device, qint64 maxBytes = kUnbounded);
    // Like extract, but the file at filePath is replaced only when the whole
    // entry was read and verified; on any failure the old file stays.
    bool extractFile(const QString &entryName, const QString &filePath, qint64 maxBytes = kUnbounded);

    // The size the entry declares once inflated; -1 when there is no such entry.
    // Throws "Cannot get file info from zip archive".
    qint64 entrySize(const QString &entryName);
    // Up to the first `count` inflated bytes of the entry, without reading
    // further; false when there is no such entry. Throws the texts of extract.
    bool extractPrefix(const QString &entryName, qint64 count, QByteArray &bytes);

private:
    // Locates the entry and reads its information; false when it is absent.
    bool locate(const QString &entryName, unz_file_info64_s &info);
    bool extractInto(const QString &entryName, QIODevice *device, qint64 maxBytes);

    QString path_;
    QFile file_;
    void *unzip_ = nullptr;
    qulonglong entryCount_ = 0;
    QString comment_;
};

#pragma once
// Reads a zip archive: its global comment and single entries, streamed into a
// device or a file. Entries are checked against their size and checksum.

#include <QFile>
#include <QObject>
#include <QString>

class QIODevice;

class QZipFileExtractor : public QObject {
    Q_OBJECT
public:
    // Throws "Cannot open zip archive", "Cannot read zip archive" or
    // "Cannot read comment in zip archive".
    explicit QZipFileExtractor(const QString &path, QObject *parent = nullptr);
    ~QZipFileExtractor() override;

    QString comment() const;
    qulonglong entryCount() const;

    // False when the archive has no such entry. The device is opened for
    // writing once the entry has been read from (unless already open) and
    // closed at the end when it was opened here.
    bool extract(const QString &entryName, QIODevice *device);
    // Like extract, but the file at filePath is replaced only when the whole
    // entry was read and verified; on any failure the old file stays.
    bool extractFile(const QString &entryName, const QString &filePath);

private:
    bool extractInto(const QString &entryName, QIODevice *device);

    QString path_;
    QFile file_;
    void *unzip_ = nullptr;
    qulonglong entryCount_ = 0;
    QString comment_;
};

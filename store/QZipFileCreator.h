#pragma once
// Writes a zip archive entry by entry (deflated, undated, unencrypted) with a
// global comment. Entries are compressed by ZipEntryDeflater and handed to
// minizip as raw deflate data with their CRC and size. The archive goes through an atomic save file, so a failed
// export never leaves a partial archive in place of the previous one.

#include <QObject>
#include <QSaveFile>
#include <QString>

#include <memory>

class ZipEntryDeflater;

class QZipFileCreator : public QObject {
    Q_OBJECT
public:
    // Throws "Cannot create zip archive" when the archive cannot be started.
    explicit QZipFileCreator(const QString &path, QObject *parent = nullptr);
    // Finishes an archive still open, unless an entry failed or the creator is
    // destroyed by an exception: then the partial archive is thrown away.
    ~QZipFileCreator() override;

    void addFile(const QString &filePath, const QString &entryName);
    void addData(const QByteArray &bytes, const QString &entryName);
    void setComment(const QString &text);
    // Writes the directory and comment and puts the archive in place.
    void close();

private:
    void openEntry(const QString &entryName);
    void writeToEntry(const char *data, unsigned size);
    void storeInEntry(const char *data, std::size_t size);
    void closeEntry();
    [[noreturn]] void fail(const char *message);
    void discard() noexcept;

    QString path_;
    QSaveFile file_;
    void *zip_ = nullptr;
    std::unique_ptr<ZipEntryDeflater> entry_;
    QString comment_;
    bool failed_ = false;
    bool committed_ = false;
    int exceptionsAtStart_ = 0;
};

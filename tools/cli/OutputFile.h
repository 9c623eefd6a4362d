#pragma once
// Where a command writes a result: a named file that is replaced only once
// the whole output is written (it is written under a temporary name and
// renamed), or standard output when no name is given. Every write, the
// flush and the close are checked, so a full disk is reported, never taken
// for success.

#include <QFile>
#include <QSaveFile>
#include <QString>
#include <memory>

class OutputFile {
public:
    // An empty path is standard output.
    explicit OutputFile(const QString &path);
    // An output never committed leaves the named file as it was.
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // False with errorString() set when the output cannot be written at all.
    bool open();
    // Valid after a successful open().
    QIODevice &device();
    // Writes all of `bytes`; false (and the error kept) when any is not written.
    bool write(const QByteArray &bytes);
    // Puts the output in place: flushes, closes and renames. False when
    // anything written since open() did not reach its destination.
    bool commit();
    // Drops what was written; the named file keeps its earlier contents.
    void discard();

    // "cannot write NAME: reason" for the first failure.
    QString errorString() const { return error_; }
    // The path, or "standard output".
    QString name() const;

private:
    bool fail(const QString &reason);

    QString path_;
    // A regular (or new) file is written through the save file; standard
    // output and a device or pipe named as the output, which cannot be
    // renamed over, directly.
    std::unique_ptr<QSaveFile> saveFile_;
    std::unique_ptr<QFile> direct_;
    QString error_;
};

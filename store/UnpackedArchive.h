#pragma once
// The study of an archive on its way into the store: every entry checked
// from its declared size and first bytes before a byte is written, then
// unpacked into a private folder inside the store root, and put in place as
// one step that can be undone until the caller finishes it.

#include "store/StudyInfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

class UnpackedArchive {
public:
    // Throws StudyArchives::NotValid for anything that is not a complete,
    // consistent study archive within the size caps, and the zip texts.
    UnpackedArchive(const QString &archivePath, const QString &root);
    ~UnpackedArchive();
    UnpackedArchive(const UnpackedArchive &) = delete;
    UnpackedArchive &operator=(const UnpackedArchive &) = delete;

    // The description, with the study document's id.
    const StudyInfo &info() const { return info_; }

    // Stores the study under another base name: the document is rewritten
    // to carry it. Only before putInPlace.
    void rename(const QByteArray &base);

    // Moves the three files to root/base.*, keeping any files they replace
    // until finish(); a failure puts everything back and throws "Cannot
    // create file".
    void putInPlace();
    // Makes putInPlace final: the replaced files are dropped.
    void finish();
    // Undoes putInPlace: the unpacked files leave and the replaced ones return.
    void rollBack();

private:
    struct Move {
        QString unpacked;  // in the private folder
        QString final;
        QString replaced;  // in the private folder, when a file was replaced
        bool placed = false;
    };

    QString privatePath(const char *name) const;

    QString root_;
    StudyInfo info_;
    QJsonObject document_;
    std::unique_ptr<QTemporaryDir> folder_;
    QList<Move> moves_;
    bool placed_ = false;
};

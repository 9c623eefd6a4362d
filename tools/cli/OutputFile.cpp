#include "tools/cli/OutputFile.h"

#include <QFileInfo>
#include <cstdio>

OutputFile::OutputFile(const QString &path) : path_(path) {}

OutputFile::~OutputFile() { discard(); }

QString OutputFile::name() const { return path_.isEmpty() ? QStringLiteral("standard output") : path_; }

bool OutputFile::fail(const QString &reason) {
    if (error_.isEmpty()) error_ = QStringLiteral("cannot write %1: %2").arg(name(), reason);
    return false;
}

bool OutputFile::open() {
    error_.clear();
    if (path_.isEmpty()) {
        direct_ = std::make_unique<QFile>();
        if (!direct_->open(fileno(stdout), QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
            return fail(direct_->errorString());
        return true;
    }
    // A temporary file beside a device such as /dev/full, renamed over it,
    // would replace the device node itself for a privileged user.
    const QFileInfo target(path_);
    if (target.exists() && !target.isFile() && !target.isDir()) {
        direct_ = std::make_unique<QFile>(path_);
        if (!direct_->open(QIODevice::WriteOnly)) return fail(direct_->errorString());
        return true;
    }
    saveFile_ = std::make_unique<QSaveFile>(path_);
    if (!saveFile_->open(QIODevice::WriteOnly)) return fail(saveFile_->errorString());
    return true;
}

QIODevice &OutputFile::device() {
    if (saveFile_) return *saveFile_;
    return *direct_;
}

bool OutputFile::write(const QByteArray &bytes) {
    QIODevice &out = device();
    if (out.write(bytes) != bytes.size()) return fail(out.errorString());
    return true;
}

bool OutputFile::commit() {
    if (saveFile_) {
        const bool committed = saveFile_->commit();
        const QString reason = saveFile_->errorString();
        saveFile_.reset();
        return committed ? error_.isEmpty() : fail(reason);
    }
    if (!direct_) return error_.isEmpty();
    // Standard output stays open for whatever the command prints next; a
    // named device is closed so a failure of the close is seen too.
    bool written = direct_->flush();
    if (path_.isEmpty()) {
        written = written && direct_->error() == QFileDevice::NoError;
    } else {
        direct_->close();
        written = written && direct_->error() == QFileDevice::NoError;
    }
    const QString reason = direct_->errorString();
    direct_.reset();
    return written ? error_.isEmpty() : fail(reason);
}

void OutputFile::discard() {
    if (saveFile_) saveFile_->cancelWriting();
    saveFile_.reset();
    direct_.reset();
}

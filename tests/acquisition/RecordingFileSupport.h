#pragma once
// Helpers for the recording file tests: raw file access, and a temporary cap
// on file size that cuts writes short as a full disk does.

#include <QFile>
#include <csignal>
#include <sys/resource.h>

inline QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline void writeFileBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write test file");
}

// While alive, a write that would grow a file past `bytes` is cut short and
// the next one fails (EFBIG).
struct FileSizeCap {
    explicit FileSizeCap(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit capped{bytes, saved.rlim_max};
        handler = std::signal(SIGXFSZ, SIG_IGN);
        active = setrlimit(RLIMIT_FSIZE, &capped) == 0;
    }
    ~FileSizeCap() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, handler);
    }
    rlimit saved{};
    void (*handler)(int) = nullptr;
    bool active = false;
};

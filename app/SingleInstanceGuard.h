#pragma once
// Keeps a second copy of the program from running for the same user: the
// first one holds a small shared-memory segment under a fixed key until it
// exits.

#include <QSharedMemory>
#include <QString>

class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString &key);

    // True when this process now holds the segment. A segment left behind by
    // a copy that crashed or was killed is freed first, so only a live
    // instance keeps this one out.
    bool tryAcquire();
    bool held() const { return memory_.isAttached(); }
    const QString &key() const { return key_; }

    static constexpr int kSegmentBytes = 256;

private:
    QString key_;
    QSharedMemory memory_;
};

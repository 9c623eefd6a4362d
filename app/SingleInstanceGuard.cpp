#include "app/SingleInstanceGuard.h"

SingleInstanceGuard::SingleInstanceGuard(const QString &key) : key_(key), memory_(key) {}

bool SingleInstanceGuard::tryAcquire() {
    if (memory_.isAttached()) return true;
    {
        // On Linux a segment outlives a process that died without detaching.
        // Attaching to it and detaching again removes it when nobody else is
        // attached; a live instance stays attached, so its segment survives.
        QSharedMemory orphan(key_);
        if (orphan.attach(QSharedMemory::ReadOnly)) orphan.detach();
    }
    return memory_.create(kSegmentBytes, QSharedMemory::ReadWrite);
}

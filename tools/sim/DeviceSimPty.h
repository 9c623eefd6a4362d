#pragma once
// The pseudo-terminal the simulated device talks through: the simulator keeps
// the master side (raw, non-blocking); the host opens the slave side by its
// path or by an optional symbolic link that lives as long as this object.

#include <QString>

class DeviceSimPty {
public:
    DeviceSimPty() = default;
    ~DeviceSimPty();
    DeviceSimPty(const DeviceSimPty &) = delete;
    DeviceSimPty &operator=(const DeviceSimPty &) = delete;

    // False, with a reason, when no terminal could be made or the link could
    // not be placed (an existing path that is not a symbolic link is kept).
    bool open(const QString &linkPath, QString *error);
    int masterFd() const { return master_; }
    const QString &slavePath() const { return slavePath_; }

private:
    int master_ = -1;
    QString slavePath_;
    QString linkPath_;  // set once the link is ours to remove
};

#include "acquisition/SerialPort.h"

#include "acquisition/SerialLineSpeed.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

const char *openFailureText(int error) {
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return "Port not found";
    case EBUSY:
    case EACCES:
    case EWOULDBLOCK: return "Port already in use";
    case ENOTTY:
    case EINVAL:
    case ENAMETOOLONG: return "Invalid port";
    default: return "Connect failed";
    }
}

int remainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

enum class Wait { Ready, TimedOut, Gone };

// Waits until the descriptor is ready for `events` or the deadline passes.
// Gone when the line hung up (the other end of a pseudo-terminal closed, a
// USB adapter was pulled).
Wait waitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, remainingMs(deadline));
        if (ready == 0) return Wait::TimedOut;
        if (ready < 0) {
            if (errno == EINTR) continue;
            return Wait::Gone;
        }
        // Only called when nothing could be transferred, so a hang-up here
        // means nothing more will come, whatever else poll() reports.
        if (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) return Wait::Gone;
        return Wait::Ready;
    }
}

}  // namespace

SerialProfile SerialProfile::ecgLink(int baudRate) {
    SerialProfile profile;
    profile.baudRate = baudRate;
    profile.inputQueueBytes = 32768;
    profile.outputQueueBytes = 32768;
    profile.flowControlOff = true;
    profile.readTimeoutMs = 10000;
    profile.writeTimeoutMs = 3000;
    profile.fixedOpenFailureText = true;
    return profile;
}

SerialProfile SerialProfile::olmo() {
    SerialProfile profile;
    profile.baudRate = 9600;
    profile.readTimeoutMs = 2000;
    profile.writeTimeoutMs = 2000;
    return profile;
}

SerialProfile SerialProfile::kipnet() {
    SerialProfile profile;
    profile.baudRate = 4800;
    profile.readTimeoutMs = 3000;
    profile.writeTimeoutMs = 3000;
    return profile;
}

SerialPort::~SerialPort() { close(); }

QString SerialPort::devicePath(const QString &portName) {
    if (portName.startsWith(QLatin1Char('/'))) return portName;
    return QStringLiteral("/dev/") + portName.left(8);
}

void SerialPort::open(const QString &portName, const SerialProfile &profile) {
    close();
    const QByteArray path = devicePath(portName).toLocal8Bit();
    const auto refuse = [&](const char *text) {
        close();
        throw SerialPortError(text);
    };

    // Non-blocking, so a modem line without carrier cannot hang the open;
    // reads and writes then wait through poll() up to their time-outs.
    fd_ = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        refuse(profile.fixedOpenFailureText ? kEcgOpenFailure : openFailureText(error));
    }
    // Exclusive use: TIOCEXCL keeps ordinary users out, the advisory lock
    // also other instances of this program running with privileges.
    if (!::isatty(fd_)) refuse(profile.fixedOpenFailureText ? kEcgOpenFailure : openFailureText(ENOTTY));
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0)
        refuse(profile.fixedOpenFailureText ? kEcgOpenFailure : openFailureText(EBUSY));
    ::ioctl(fd_, TIOCEXCL);

    termios settings{};
    if (::tcgetattr(fd_, &settings) != 0) refuse("GetCommState failed");
    const tcflag_t hardwareFlow = settings.c_cflag & CRTSCTS;
    ::cfmakeraw(&settings);
    settings.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    if (!profile.flowControlOff) settings.c_cflag |= hardwareFlow;
    settings.c_iflag &= ~(IXON | IXOFF | IXANY);
    // Reads wait in poll(), not in the driver: VTIME counts per byte and
    // cannot exceed 25.5 s, while the links need a total time-out.
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    if (::tcsetattr(fd_, TCSANOW, &settings) != 0 || !SerialLineSpeed::set(fd_, profile.baudRate))
        refuse("SetCommState failed");
    if (profile.flowControlOff) {
        // Drop DTR and RTS; a pseudo-terminal has no modem lines, so a
        // refusal here is not an error.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIC, &lines);
    }
    readTimeoutMs_ = profile.readTimeoutMs;
    writeTimeoutMs_ = profile.writeTimeoutMs;
    if (!discardBuffers()) refuse("PurgeComm failed");
}

void SerialPort::close() {
    if (fd_ < 0) return;
    // The exclusive mode belongs to the terminal, not to this descriptor: it
    // would keep the port closed to everyone but root after we let it go.
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

bool SerialPort::write(const char *data, int size) {
    if (fd_ < 0 || size < 0) return false;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(writeTimeoutMs_);
    int written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd_, data + written, static_cast<size_t>(size - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        if (waitFor(fd_, POLLOUT, deadline) != Wait::Ready) return false;
    }
    return true;
}

int SerialPort::read(char *buffer, int size) {
    if (fd_ < 0 || size < 0) return -1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(readTimeoutMs_);
    int got = 0;
    while (got < size) {
        // In raw mode without VMIN a read with nothing waiting returns 0
        // rather than failing; poll() tells "nothing yet" from "gone".
        const ssize_t n = ::read(fd_, buffer + got, static_cast<size_t>(size - got));
        if (n > 0) {
            got += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return got > 0 ? got : -1;  // EIO: the device went away
        const Wait wait = waitFor(fd_, POLLIN, deadline);
        if (wait == Wait::TimedOut || Clock::now() >= deadline) break;
        if (wait == Wait::Gone) return got > 0 ? got : -1;
    }
    return got;
}

bool SerialPort::discardBuffers() { return fd_ >= 0 && ::tcflush(fd_, TCIOFLUSH) == 0; }

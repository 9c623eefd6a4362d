#pragma once
// Playing the ECG front end in tests: packets encoded straight from the
// byte layout of the two links, and the device end of a pseudo-terminal
// whose other end the link under test opens.

#include "acquisition/AcqDevice.h"
#include "acquisition/Sleeper.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QtEndian>
#include <array>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>
#include <vector>

// Channel-table indices, for readable expectations.
enum Ch : int { I = 0, II, III, aVR, aVL, aVF, V1, V2, V3, V4, V5, V6, CM5, CR5 };

// What the front end measures and reports in one packet.
struct FrontEnd {
    std::array<std::int16_t, 14> lead{};  // derived entries (aVR, aVL, aVF) are not sent
    std::array<std::uint8_t, 3> s0{};     // status byte S0 of blocks 1..3
    std::array<std::uint8_t, 3> s1{};
    std::uint8_t battery = 0;
};

inline void putBlock(QByteArray &p, const FrontEnd &f, int block) {
    static const int words[3][4] = {{V5, I, II, III}, {V1, V2, V3, V4}, {V6, CM5, CR5, -1}};
    p.append(static_cast<char>(f.s0[block]));
    p.append(static_cast<char>(f.s1[block]));
    for (int w : words[block]) {
        const auto v = static_cast<std::uint16_t>(w >= 0 ? f.lead[w] : 0x5A5A);
        p.append(static_cast<char>(v >> 8));  // most significant byte first
        p.append(static_cast<char>(v & 0xFF));
    }
}

inline QByteArray standardPacket(const FrontEnd &f) {
    QByteArray p;
    p.append('\x01').append('\xC0');
    putBlock(p, f, 0);
    p.append('\x02').append('\xC0');
    putBlock(p, f, 1);
    p.append('\x03').append('\xC0');
    putBlock(p, f, 2);
    p.append(static_cast<char>(f.battery)).append("\x11\x22\x33", 3);
    return p;
}

inline QByteArray hrPacket(const FrontEnd &f) {
    QByteArray p;
    p.append('\xC0');
    putBlock(p, f, 0);
    p.append('\xC0');
    putBlock(p, f, 1);
    p.append('\xC0');
    putBlock(p, f, 2);
    p.append(static_cast<char>(f.battery));
    return p;
}

// A front end whose samples identify the packet: lead c = id * 16 + c for
// the measured leads (small enough that the derived leads never clamp).
inline FrontEnd numbered(int id) {
    FrontEnd f;
    for (int c = 0; c < 14; ++c) f.lead[static_cast<std::size_t>(c)] = static_cast<std::int16_t>(id * 16 + c);
    f.battery = 180;
    return f;
}

// The 14 channels the workstation should see for a packet, derived leads
// computed in floating point and truncated (independently of the decoder).
inline std::array<int, 14> expectedChannels(const FrontEnd &f) {
    std::array<int, 14> e{};
    for (int c = 0; c < 14; ++c) e[static_cast<std::size_t>(c)] = f.lead[static_cast<std::size_t>(c)];
    const auto clampTrunc = [](double v) {
        const int t = static_cast<int>(v);  // toward zero
        return t < -32768 ? -32768 : (t > 32767 ? 32767 : t);
    };
    e[aVR] = clampTrunc(-(double(f.lead[I]) + f.lead[II]) / 2.0);
    e[aVL] = clampTrunc((double(f.lead[I]) - f.lead[III]) / 2.0);
    e[aVF] = clampTrunc((double(f.lead[II]) + f.lead[III]) / 2.0);
    return e;
}

inline std::vector<int> masked(const std::array<int, 14> &channels, std::uint32_t mask) {
    std::vector<int> out;
    for (int c = 0; c < 14; ++c)
        if ((mask >> c) & 1u) out.push_back(channels[static_cast<std::size_t>(c)]);
    return out;
}

// The device end of a pseudo-terminal; the link under test opens slavePath().
class PtyDeviceEnd {
public:
    PtyDeviceEnd() {
        char name[128] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) == 0) {
            path_ = QString::fromLocal8Bit(name);
            ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyDeviceEnd() {
        closeMaster();
        if (slave_ >= 0) ::close(slave_);
    }
    PtyDeviceEnd(const PtyDeviceEnd &) = delete;
    PtyDeviceEnd &operator=(const PtyDeviceEnd &) = delete;

    bool ok() const { return master_ >= 0; }
    QString slavePath() const { return path_; }
    // The device's side, for reading the terminal's settings.
    int masterFd() const { return master_; }
    // The device goes away (cable pulled).
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    // Bytes the link sent, until `count` arrived or the time is up.
    QByteArray readSent(int count, int timeoutMs = 5000) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < count && t.elapsed() < timeoutMs) {
            char buf[64];
            const ssize_t n = ::read(master_, buf, std::min<int>(sizeof buf, count - got.size()));
            if (n > 0) {
                got.append(buf, static_cast<int>(n));
                continue;
            }
            pollfd p{master_, POLLIN, 0};
            ::poll(&p, 1, 5);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        return got;
    }

    // Writes everything within the time, keeping the event loop turning.
    bool write(const QByteArray &bytes, int timeoutMs = 10000) {
        int done = 0;
        QElapsedTimer t;
        t.start();
        while (done < bytes.size()) {
            if (t.elapsed() > timeoutMs) return false;
            const ssize_t n = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0) {
                done += static_cast<int>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 5);
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        }
        return true;
    }

private:
    int master_ = -1;
    int slave_ = -1;  // held open so the terminal outlives the link's closes
    QString path_;
};

// Waits for `frames` whole frames in the device's queue and takes them,
// as 16-bit samples; fewer when the time runs out.
inline std::vector<int> takeFrames(AcqDevice &device, int frames, int timeoutMs = 5000) {
    const int bytes = frames * device.frameBytes();
    QElapsedTimer t;
    t.start();
    while (device.bytesAvailable() < bytes && t.elapsed() < timeoutMs) QThread::msleep(2);
    std::vector<char> raw(static_cast<std::size_t>(std::min(bytes, device.bytesAvailable())));
    device.read(raw.data(), static_cast<int>(raw.size()));
    std::vector<int> samples;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) samples.push_back(qFromLittleEndian<qint16>(raw.data() + i));
    return samples;
}

// Really sleeps, and remembers how long each wait was.
class LoggingSleeper : public Sleeper {
public:
    void sleepMs(int milliseconds) override {
        {
            QMutexLocker lock(&mutex_);
            log_.push_back(milliseconds);
        }
        Sleeper::system().sleepMs(milliseconds);
    }
    std::vector<int> log() const {
        QMutexLocker lock(&mutex_);
        return log_;
    }

private:
    mutable QMutex mutex_;
    std::vector<int> log_;
};

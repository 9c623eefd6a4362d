// The `device` command end to end: the built simulator on its pseudo-terminal,
// driven from the slave side the way a host would.

#include "tools/sim/DeviceSimPacketWriter.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kStart = 0x01;
constexpr int kStop = 0x02;
constexpr int kIdentify = 0x0B;

// Runs `tarvelin-ecg-sim device` and holds the slave side of its terminal.
class SimulatedDevice {
public:
    explicit SimulatedDevice(const QStringList &options) {
        process_.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), QStringList{QStringLiteral("device")} + options);
        if (!process_.waitForStarted(10000)) return;
        while (!process_.canReadLine() && process_.state() == QProcess::Running) process_.waitForReadyRead(200);
        path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
        if (path_.isEmpty()) return;
        fd_ = ::open(path_.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        if (fd_ < 0) return;
        termios settings{};
        ::tcgetattr(fd_, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(fd_, TCSANOW, &settings);
    }
    ~SimulatedDevice() {
        closePort();
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(5000)) process_.kill();
            process_.waitForFinished();
        }
    }

    bool isOpen() const { return fd_ >= 0; }
    const QString &path() const { return path_; }
    void send(int command) {
        const char byte = static_cast<char>(command);
        ASSERT_EQ(::write(fd_, &byte, 1), 1);
    }
    // Everything that arrives within `milliseconds`.
    QByteArray readFor(int milliseconds) {
        QByteArray received;
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return received;
            pollfd fds{fd_, POLLIN, 0};
            if (::poll(&fds, 1, static_cast<int>(left.count())) <= 0) continue;
            char buffer[4096];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) received.append(buffer, static_cast<int>(n));
        }
    }
    void closePort() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    // SIGTERM, then the exit code (-1 when it did not end by itself).
    int terminate() {
        process_.terminate();
        if (!process_.waitForFinished(10000) || process_.exitStatus() != QProcess::NormalExit) return -1;
        return process_.exitCode();
    }

private:
    QProcess process_;
    QString path_;
    int fd_ = -1;
};

int word(const QByteArray &packet, int offset) {
    return qFromBigEndian<qint16>(reinterpret_cast<const uchar *>(packet.constData()) + offset);
}

TEST(DeviceSimCommand, AnswersIdentifyWithItsName) {
    SimulatedDevice device({});
    ASSERT_TRUE(device.isOpen()) << device.path().toStdString();
    device.send(kIdentify);
    EXPECT_EQ(device.readFor(500), QByteArray("ECG"));
    EXPECT_EQ(device.terminate(), 0);
}

TEST(DeviceSimCommand, StreamsOnStartStopsOnStopAndRecordsWhatItSent) {
    QTemporaryDir folder;
    const QString sentPath = folder.filePath(QStringLiteral("sent.bin"));
    SimulatedDevice device({QStringLiteral("--sent"), sentPath, QStringLiteral("--battery"), QStringLiteral("2.6")});
    ASSERT_TRUE(device.isOpen());
    EXPECT_TRUE(device.readFor(300).isEmpty()) << "streams before the start command";

    device.send(kStart);
    QByteArray stream = device.readFor(1000);
    device.send(kStop);
    stream += device.readFor(300);
    EXPECT_TRUE(device.readFor(300).isEmpty()) << "still streaming after the stop command";
    ASSERT_EQ(device.terminate(), 0);

    ASSERT_EQ(stream.size() % 40, 0);
    const int packets = stream.size() / 40;
    EXPECT_GE(packets, 450);
    EXPECT_LE(packets, 700);  // one second of packets, plus those sent while stopping

    // The record holds, per packet, the frame the host should decode from it.
    QFile sent(sentPath);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    const QByteArray record = sent.readAll();
    ASSERT_EQ(record.size(), packets * 28);
    const auto *frames = reinterpret_cast<const uchar *>(record.constData());
    // Packet word offsets of I, II, III, V1 ... V6, CM5, CR5 (channel-table order).
    const int wordOffsets[14] = {6, 8, 10, -1, -1, -1, 16, 18, 20, 22, 4, 28, 30, 32};
    for (int p = 0; p < packets; ++p) {
        const QByteArray packet = stream.mid(p * 40, 40);
        ASSERT_EQ(packet.left(2), QByteArray("\x01\xC0", 2)) << "packet " << p;
        ASSERT_EQ(static_cast<unsigned char>(packet[36]), 200) << "packet " << p;
        qint16 decoded[14];
        for (int c = 0; c < 14; ++c) decoded[c] = qFromLittleEndian<qint16>(frames + (p * 14 + c) * 2);
        for (int c = 0; c < 14; ++c) {
            if (wordOffsets[c] >= 0) {
                ASSERT_EQ(decoded[c], word(packet, wordOffsets[c])) << "packet " << p << " lead " << c;
            }
        }
        const int leadI = decoded[0], leadII = decoded[1], leadIII = decoded[2];
        ASSERT_EQ(decoded[3], -(leadI + leadII) / 2);
        ASSERT_EQ(decoded[4], (leadI - leadIII) / 2);
        ASSERT_EQ(decoded[5], (leadII + leadIII) / 2);
    }
}

TEST(DeviceSimCommand, CorruptsBytesAtTheGivenRate) {
    QTemporaryDir folder;
    const QString sentPath = folder.filePath(QStringLiteral("sent.bin"));
    SimulatedDevice device({QStringLiteral("--corrupt"), QStringLiteral("40"), QStringLiteral("--sent"), sentPath});
    ASSERT_TRUE(device.isOpen());
    device.send(kStart);
    QByteArray stream = device.readFor(2000);
    device.send(kStop);
    stream += device.readFor(300);
    ASSERT_EQ(device.terminate(), 0);

    // Rebuild each packet from the record of what was meant and count the
    // bytes that arrived otherwise.
    QFile sent(sentPath);
    ASSERT_TRUE(sent.open(QIODevice::ReadOnly));
    const QByteArray record = sent.readAll();
    ASSERT_EQ(stream.size() / 40, record.size() / 28);
    const DeviceSimPacketWriter writer(DeviceLinkKind::Standard, 231, {});
    int flipped = 0;
    for (int p = 0; p < record.size() / 28; ++p) {
        DeviceFrame frame;
        for (int c = 0; c < 14; ++c)
            frame[static_cast<std::size_t>(c)] =
                qFromLittleEndian<qint16>(reinterpret_cast<const uchar *>(record.constData()) + (p * 14 + c) * 2);
        const QByteArray clean = writer.packet(frame);
        for (int b = 0; b < 40; ++b) flipped += stream[p * 40 + b] != clean[b] ? 1 : 0;
    }
    const double seconds = (record.size() / 28) / 500.0;
    EXPECT_NEAR(flipped / seconds, 40.0, 4.0);
}

TEST(DeviceSimCommand, HighRateLinkSendsEachFrameTwiceAtAThousandPacketsPerSecond) {
    SimulatedDevice device({QStringLiteral("--hr-protocol"), QStringLiteral("--saturate"), QStringLiteral("CR5")});
    ASSERT_TRUE(device.isOpen());
    device.send(kStart);
    const QByteArray stream = device.readFor(1000);
    device.send(kStop);
    ASSERT_EQ(stream.size() % 34, 0);
    const int packets = stream.size() / 34;
    EXPECT_GE(packets, 900);
    EXPECT_LE(packets, 1100);
    for (int p = 0; p + 1 < packets; p += 2) {
        ASSERT_EQ(stream.mid(p * 34, 34), stream.mid((p + 1) * 34, 34)) << "pair at packet " << p;
        ASSERT_EQ(word(stream, p * 34 + 23 + 6), 32700) << "CR5 not held";
    }
}

TEST(DeviceSimCommand, FallsSilentAfterTheGivenTimeUntilStartedAgain) {
    SimulatedDevice device({QStringLiteral("--silent-after"), QStringLiteral("0.2")});
    ASSERT_TRUE(device.isOpen());
    device.send(kStart);
    EXPECT_EQ(device.readFor(600).size(), 100 * 40);
    EXPECT_TRUE(device.readFor(300).isEmpty());
    // A reconnecting host starts it again; it does not fall silent twice.
    device.send(kStart);
    EXPECT_GE(device.readFor(600).size(), 200 * 40);
}

TEST(DeviceSimCommand, LinkPointsAtTheTerminalWhileRunningAndReplacesOnlyStaleLinks) {
    QTemporaryDir folder;
    const QString link = folder.filePath(QStringLiteral("ecg"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/nonexistent/pts/99"), link));
    {
        SimulatedDevice device({QStringLiteral("--link"), link});
        ASSERT_TRUE(device.isOpen());
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), device.path());
        device.closePort();
        EXPECT_EQ(device.terminate(), 0);
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink()) << "link left behind";

    // Something that is not a link is never replaced.
    QFile file(link);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    QProcess process;
    process.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), {QStringLiteral("device"), QStringLiteral("--link"), link});
    ASSERT_TRUE(process.waitForFinished(10000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(QFileInfo(link).isFile());
}

TEST(DeviceSimCommand, RefusesBadArguments) {
    const QStringList cases[] = {
        {"--saturate", "aVR"},       {"--saturate", "V7"}, {"--electrode-off", "XX"}, {"--electrode-off"},
        {"--battery", "3.4"},        {"--battery", "low"}, {"--corrupt", "-1"},       {"--silent-after"},
        {"--link", "--hr-protocol"}, {"--frobnicate"},
    };
    for (const QStringList &arguments : cases) {
        QProcess process;
        process.start(QStringLiteral(TARVELIN_SIM_EXECUTABLE), QStringList{QStringLiteral("device")} + arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2) << arguments.join(QLatin1Char(' ')).toStdString();
    }
}

}  // namespace

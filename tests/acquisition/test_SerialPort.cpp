// The serial layer over pseudo-terminals: device paths, the open failure
// texts of each profile, exclusive use, line settings, total read time-outs,
// and a device that goes away.

#include "LineSpeedProbe.h"
#include "LinkTestSupport.h"

#include "acquisition/SerialPort.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::string openFailure(const QString &name, const SerialProfile &profile) {
    SerialPort port;
    try {
        port.open(name, profile);
    } catch (const SerialPortError &error) {
        EXPECT_FALSE(port.isOpen());
        return error.what();
    }
    return "opened";
}

TEST(SerialPort, DevicePaths) {
    EXPECT_EQ(SerialPort::devicePath("ttyUSB0"), QStringLiteral("/dev/ttyUSB0"));
    EXPECT_EQ(SerialPort::devicePath("rfcomm12345"), QStringLiteral("/dev/rfcomm12"));  // first 8 characters
    EXPECT_EQ(SerialPort::devicePath("/tmp/sim/ecg-device-link"), QStringLiteral("/tmp/sim/ecg-device-link"));
}

TEST(SerialPort, OpenFailuresSpeakEachProfilesText) {
    QTemporaryDir dir;
    const QString plainFile = dir.filePath("not-a-tty");
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    PtyDeviceEnd held;
    SerialPort holder;
    holder.open(held.slavePath(), SerialProfile::olmo());

    struct Case {
        const char *label;
        QString name;
        const char *equipmentText;
    };
    const Case cases[] = {
        {"missing", dir.filePath("no-such-port"), "Port not found"},
        {"not a terminal", plainFile, "Invalid port"},
        {"held by another opener", held.slavePath(), "Port already in use"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(openFailure(c.name, SerialProfile::olmo()), c.equipmentText) << c.label;
        EXPECT_EQ(openFailure(c.name, SerialProfile::kipnet()), c.equipmentText) << c.label;
        EXPECT_EQ(openFailure(c.name, SerialProfile::ecgLink(230400)), SerialPort::kEcgOpenFailure) << c.label;
    }
    holder.close();
    EXPECT_EQ(openFailure(held.slavePath(), SerialProfile::kipnet()), "opened");
}

TEST(SerialPort, ProfilesSetEightNoneOneAtTheirSpeed) {
    struct Case {
        SerialProfile profile;
        int speed;
    };
    const Case cases[] = {{SerialProfile::ecgLink(230400), 230400},
                          {SerialProfile::ecgLink(570000), 570000},
                          {SerialProfile::olmo(), 9600},
                          {SerialProfile::kipnet(), 4800}};
    for (const Case &c : cases) {
        PtyDeviceEnd pty;
        // A port left with odd settings by another program.
        termios messy{};
        ASSERT_EQ(::tcgetattr(pty.masterFd(), &messy), 0);
        messy.c_cflag |= PARENB | CSTOPB | CRTSCTS;
        messy.c_cflag = (messy.c_cflag & ~CSIZE) | CS7;
        ASSERT_EQ(::tcsetattr(pty.masterFd(), TCSANOW, &messy), 0);

        SerialPort port;
        port.open(pty.slavePath(), c.profile);
        termios settings{};
        ASSERT_EQ(::tcgetattr(pty.masterFd(), &settings), 0);
        EXPECT_EQ(settings.c_cflag & CSIZE, tcflag_t(CS8)) << c.speed;
        EXPECT_EQ(settings.c_cflag & (PARENB | CSTOPB), tcflag_t(0)) << c.speed;
        EXPECT_EQ(settings.c_lflag & (ICANON | ECHO), tcflag_t(0)) << c.speed;
        // Hardware flow control is switched off for the ECG link only.
        EXPECT_EQ((settings.c_cflag & CRTSCTS) != 0, !c.profile.flowControlOff) << c.speed;
        EXPECT_EQ(LineSpeedProbe::inputSpeed(pty.masterFd()), c.speed);
        EXPECT_EQ(LineSpeedProbe::outputSpeed(pty.masterFd()), c.speed);
    }
}

TEST(SerialPort, ReadsWaitTheTotalTimeOutThenReturnWhatCame) {
    PtyDeviceEnd pty;
    SerialPort port;
    port.open(pty.slavePath(), SerialProfile::ecgLink(230400));
    port.setReadTimeoutMs(300);
    char buffer[16];

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.read(buffer, 1), 0);  // silent device
    EXPECT_GE(timer.elapsed(), 290);
    EXPECT_LT(timer.elapsed(), 3000);

    ASSERT_TRUE(pty.write("abc"));
    timer.restart();
    EXPECT_EQ(port.read(buffer, 10), 3);  // fewer than asked after the time-out
    EXPECT_EQ(QByteArray(buffer, 3), QByteArray("abc"));
    EXPECT_GE(timer.elapsed(), 290);

    ASSERT_TRUE(pty.write("0123456789"));
    EXPECT_EQ(port.read(buffer, 4), 4);  // returns as soon as the bytes are there
    EXPECT_EQ(QByteArray(buffer, 4), QByteArray("0123"));
    EXPECT_TRUE(port.discardBuffers());
    EXPECT_EQ(port.read(buffer, 1), 0);  // the rest was dropped
}

TEST(SerialPort, WritesReachTheDeviceAndAVanishedDeviceFailsReads) {
    PtyDeviceEnd pty;
    SerialPort port;
    port.open(pty.slavePath(), SerialProfile::kipnet());
    ASSERT_TRUE(port.write(QByteArray(";2V005077:")));
    EXPECT_EQ(pty.readSent(10), QByteArray(";2V005077:"));

    pty.closeMaster();  // the device goes away
    char byte;
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(port.read(&byte, 1), -1);
    EXPECT_LT(timer.elapsed(), 1000);  // at once, not after the time-out
    port.close();
    port.close();  // closing twice does nothing
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write("x", 1));
}

// The exclusive mode is a property of the terminal: left set after close,
// it would keep every ordinary user out of the port until reboot.
TEST(SerialPort, AClosedPortOpensAgainForOrdinaryUsers) {
    PtyDeviceEnd pty;
    {
        SerialPort port;
        port.open(pty.slavePath(), SerialProfile::ecgLink(230400));
    }
    if (::geteuid() != 0) {
        SerialPort again;
        EXPECT_NO_THROW(again.open(pty.slavePath(), SerialProfile::ecgLink(230400)));
        return;
    }
    // Running as root, which exclusive mode never stops: ask an ordinary
    // user instead.
    ASSERT_EQ(::chmod(pty.slavePath().toLocal8Bit().constData(), 0666), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        try {
            SerialPort again;
            again.open(pty.slavePath(), SerialProfile::olmo());
        } catch (const SerialPortError &) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot become an ordinary user here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "an ordinary user could not open the port after it was closed";
}

}  // namespace

// A port the user may not open is refused at once with the link's own text
// and the note about the "dialout" group; any other port is left to the link.
#include "acquisition/SerialPort.h"
#include "acquisition/AcqDevice.h"
#include "app/ConfiguredAcquisition.h"
#include "app/GlobalConfig.h"
#include "app/SerialAccessHint.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString startError(const QString &port) {
    QSettings().clear();
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, "bluetooth-com");
    GlobalConfig::setValue(GlobalConfig::Key::AcqBluetoothPort, port);
    QString text;
    try {
        ConfiguredAcquisition::createDevice(false);
    } catch (const std::exception &e) {
        text = QString::fromLocal8Bit(e.what());
    }
    QSettings().clear();
    return text;
}

TEST(SerialAccessHint, OnlyAPortThatExistsButIsForbiddenGetsTheNote) {
    // root may open anything, so the forbidden case needs an ordinary user.
    if (::geteuid() == 0) GTEST_SKIP() << "running as root: no file is forbidden";
    QTemporaryDir dir;
    const QString forbidden = QDir(dir.path()).filePath("ttyForbidden");
    const QString allowed = QDir(dir.path()).filePath("ttyAllowed");
    for (const QString &path : {forbidden, allowed}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(forbidden, QFileDevice::ReadOwner));

    struct Case {
        const char *label;
        QString path;
        bool denied;
    };
    const Case cases[] = {
        {"read-only device", forbidden, true},
        {"readable and writable", allowed, false},
        {"missing device", QDir(dir.path()).filePath("ttyMissing"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(SerialAccessHint::permissionDenied(c.path), c.denied);
        const QString error = startError(c.path);
        EXPECT_EQ(error.contains(QLatin1String("\"dialout\"")), c.denied) << error.toStdString();
        if (c.denied) {
            EXPECT_TRUE(error.startsWith(QString::fromUtf8(SerialPort::kEcgOpenFailure) + "\n\n"));
            EXPECT_TRUE(error.contains(c.path));
        }
    }
}

TEST(SerialAccessHint, NoteNamesTheDeviceAndTheGroup) {
    const QString note = SerialAccessHint::dialoutNote(QStringLiteral("/dev/rfcomm0"));
    EXPECT_TRUE(note.contains(QLatin1String("/dev/rfcomm0")));
    EXPECT_TRUE(note.contains(QLatin1String("adduser USER dialout")));
    EXPECT_FALSE(SerialAccessHint::permissionDenied(QStringLiteral("/nonexistent/ttyUSB9")));
}

}  // namespace

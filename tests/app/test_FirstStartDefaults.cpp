// The first start of an installed program replays the demonstration; a
// written choice and a build tree are never touched.
#include "app/FirstStartDefaults.h"
#include "app/GlobalConfig.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(FirstStartDefaults, DemoOnlyForAnInstalledProgramWithoutAChoice) {
    struct Case {
        const char *label;
        bool installedRecording;
        const char *writtenMode;  // nullptr: never written
        bool applied;
        const char *modeAfter;
    };
    const Case cases[] = {
        {"first start of the package", true, nullptr, true, "demo"},
        {"user chose the USB device", true, "", false, ""},
        {"user chose Bluetooth", true, "bluetooth-com", false, "bluetooth-com"},
        {"build tree", false, nullptr, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QSettings().clear();
        if (c.writtenMode) GlobalConfig::setValue(GlobalConfig::Key::AcqMode, QString::fromLatin1(c.writtenMode));
        QTemporaryDir prefix;
        ASSERT_TRUE(QDir().mkpath(prefix.filePath("bin")));
        if (c.installedRecording) {
            ASSERT_TRUE(QDir().mkpath(prefix.filePath("share/tarvelin-ecg")));
            QFile recording(prefix.filePath("share/tarvelin-ecg/ecg500.dat"));
            ASSERT_TRUE(recording.open(QIODevice::WriteOnly));
        }
        EXPECT_EQ(FirstStartDefaults::apply(prefix.filePath("bin")), c.applied);
        EXPECT_EQ(GlobalConfig::text(GlobalConfig::Key::AcqMode), QString::fromLatin1(c.modeAfter));
        // A second start changes nothing more.
        EXPECT_FALSE(FirstStartDefaults::apply(prefix.filePath("bin")));
    }
    QSettings().clear();
}

}  // namespace

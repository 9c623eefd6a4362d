#include "acquisition/AcqDevice.h"
#include "acquisition/AcqDeviceFactory.h"
#include "app/ConfiguredAcquisition.h"
#include "app/InstalledLayout.h"
#include "app/GlobalConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// Runs the body with the current folder switched to `folder`.
template <typename Body>
void inFolder(const QString &folder, Body body) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    body();
    QDir::setCurrent(previous);
}

QString createError(bool tiltTest) {
    try {
        ConfiguredAcquisition::createDevice(tiltTest);
    } catch (const std::runtime_error &e) {
        return QString::fromLatin1(e.what());
    }
    return QString();
}

}  // namespace

TEST(ConfiguredAcquisition, DemoModeLooksInTheCurrentFolderFirstThenBesideTheProgram) {
    QSettings().clear();
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, "demo");
    QTemporaryDir current;
    QFile recording(QDir(current.path()).filePath("ecg500.dat"));
    ASSERT_TRUE(recording.open(QIODevice::WriteOnly));
    recording.write(QByteArray(28 * 100, '\0'));
    recording.close();
    inFolder(current.path(), [&] {
        EXPECT_EQ(ConfiguredAcquisition::replaySearchFolders(),
                  (QStringList{QDir::currentPath(), QCoreApplication::applicationDirPath(),
                               InstalledLayout::dataFolder(QCoreApplication::applicationDirPath())}));
        EXPECT_EQ(AcqDeviceFactory::findReplayFile(ConfiguredAcquisition::replaySearchFolders()),
                  QFileInfo(recording).absoluteFilePath());
        auto device = ConfiguredAcquisition::createDevice(true);
        EXPECT_EQ(device->channelCount(), 3);
        EXPECT_EQ(device->samplingRate(), 500);
    });
    QSettings().clear();
}

TEST(ConfiguredAcquisition, DeviceModesWithoutADeviceReportDeviceNotFound) {
    QSettings().clear();
    EXPECT_EQ(createError(false), "Device not found") << "an empty mode looks for the USB device";
    GlobalConfig::setValue(GlobalConfig::Key::AcqMode, "bluetooth-com");
    EXPECT_EQ(createError(false), "Device not found");
    QSettings().clear();
}

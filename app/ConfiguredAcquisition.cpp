#include "app/ConfiguredAcquisition.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/PortDetection.h"
#include "acquisition/SerialPortCatalog.h"
#include "app/GlobalConfig.h"
#include "app/InstalledLayout.h"
#include "app/SerialAccessHint.h"

#include <QCoreApplication>
#include <QDir>

namespace ConfiguredAcquisition {

QStringList replaySearchFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {QDir::currentPath(), program, InstalledLayout::dataFolder(program)};
}

std::unique_ptr<AcqDevice> createDevice(bool tiltTest) {
    const AcqSettings settings = GlobalConfig::acquisitionSettings();
    // The link would retry a port it may not open for ever; say why at once.
    if (settings.mode == QLatin1String(AcqDeviceFactory::kBluetoothMode)) {
        if (!settings.bluetoothPort.trimmed().isEmpty()) SerialAccessHint::requireAccess(settings.bluetoothPort);
    } else if (settings.mode != QLatin1String(AcqDeviceFactory::kDemoMode)) {
        const QString usbPort = PortDetection::findUsbDevicePort(SerialPortCatalog::system());
        if (!usbPort.isEmpty()) SerialAccessHint::requireAccess(usbPort);
    }
    return AcqDeviceFactory::createDevice(settings, tiltTest, replaySearchFolders());
}

}  // namespace ConfiguredAcquisition

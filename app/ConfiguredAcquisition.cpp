#include "app/ConfiguredAcquisition.h"

#include "acquisition/AcqDevice.h"
#include "acquisition/AcqDeviceFactory.h"
#include "app/GlobalConfig.h"

#include <QCoreApplication>
#include <QDir>

namespace ConfiguredAcquisition {

QStringList replaySearchFolders() { return {QDir::currentPath(), QCoreApplication::applicationDirPath()}; }

std::unique_ptr<AcqDevice> createDevice(bool tiltTest) {
    return AcqDeviceFactory::createDevice(GlobalConfig::acquisitionSettings(), tiltTest, replaySearchFolders());
}

}  // namespace ConfiguredAcquisition

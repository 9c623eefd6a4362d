#include "stress/EquipmentFactory.h"

#include "stress/KipnetController.h"
#include "stress/OlmoController.h"

EquipmentChoice EquipmentFactory::choose(ProtocolType type, const EquipmentSettings &settings) {
    if (type == ProtocolType::Ergometer) {
        if (settings.ergometerEquipment == QLatin1String(kOlmo)) return {EquipmentKind::Olmo, settings.ergometerPort};
        if (settings.ergometerEquipment == QLatin1String(kKipMachines))
            return {EquipmentKind::Kipnet, settings.ergometerPort};
    } else if (type == ProtocolType::Treadmill) {
        // An OLMO is a bicycle: it never drives a treadmill protocol.
        if (settings.treadmillEquipment == QLatin1String(kKipMachines))
            return {EquipmentKind::Kipnet, settings.treadmillPort};
    }
    return {};
}

std::unique_ptr<EquipmentController> EquipmentFactory::create(ProtocolType type, const EquipmentSettings &settings,
                                                              Sleeper *sleeper) {
    const EquipmentChoice choice = choose(type, settings);
    switch (choice.kind) {
    case EquipmentKind::Olmo: return std::make_unique<OlmoController>(choice.portName, sleeper);
    case EquipmentKind::Kipnet:
        return std::make_unique<KipnetController>(choice.portName, settings.kipnetLogFolder, sleeper);
    case EquipmentKind::None: break;
    }
    return nullptr;
}

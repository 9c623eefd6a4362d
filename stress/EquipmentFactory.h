#pragma once
// Chooses and creates the controller for a stress test from the configured
// ergometer and treadmill equipment; no controller means manual load.

#include "store/Protocol.h"
#include "stress/EquipmentController.h"

#include <QString>
#include <memory>

class Sleeper;

// The configuration values the launcher reads for the factory.
struct EquipmentSettings {
    QString ergometerEquipment;  // "", "olmo" or "kipmachines"
    QString ergometerPort;
    QString treadmillEquipment;  // "" or "kipmachines"
    QString treadmillPort;
    QString kipnetLogFolder;  // empty: the generic data folder
};

enum class EquipmentKind { None, Olmo, Kipnet };

struct EquipmentChoice {
    EquipmentKind kind = EquipmentKind::None;
    QString portName;
};

class EquipmentFactory {
public:
    static constexpr const char *kOlmo = "olmo";
    static constexpr const char *kKipMachines = "kipmachines";

    static EquipmentChoice choose(ProtocolType type, const EquipmentSettings &settings);
    // Null when the load is set by hand. The worker starts at once and opens
    // the port itself; `sleeper` defaults to real sleeps.
    static std::unique_ptr<EquipmentController> create(ProtocolType type, const EquipmentSettings &settings,
                                                       Sleeper *sleeper = nullptr);
};

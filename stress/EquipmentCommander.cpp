#include "stress/EquipmentCommander.h"

#include "stress/EquipmentController.h"

bool EquipmentCommander::start() {
    if (!equipment_) return true;
    if (equipment_->start()) return true;
    equipment_ = nullptr;
    return false;
}

bool EquipmentCommander::stop() {
    if (!equipment_) return true;
    if (equipment_->stop()) return true;
    equipment_ = nullptr;
    return false;
}

bool EquipmentCommander::checkReady() {
    if (!equipment_ || equipment_->isReady()) return true;
    equipment_ = nullptr;
    return false;
}

bool EquipmentCommander::sendStageLoad(const Protocol &protocol, int index) {
    if (!equipment_ || index < 0 || index >= protocol.stageCount()) return true;
    const Stage &stage = protocol.stage(index);
    switch (protocol.type) {
    case ProtocolType::Treadmill:
        return sendTreadmill(stage.parameter(QStringLiteral("speed"), QStringLiteral("km/h")),
                             stage.parameter(QStringLiteral("incline"), QStringLiteral("%")));
    case ProtocolType::Ergometer:
        return finishLoad(equipment_->setValue(QStringLiteral("workload"),
                                               stage.parameter(QStringLiteral("workload"), QStringLiteral("watts"))));
    default: return true;
    }
}

bool EquipmentCommander::sendTreadmillLoad(const TreadmillLoad &load) {
    if (!equipment_) return true;
    return sendTreadmill(load.speed, load.incline);
}

bool EquipmentCommander::sendTreadmill(double speedKmh, double inclinePercent) {
    // No incline after a refused speed: a belt whose speed is unknown must
    // not be tilted on top of it.
    bool sent = equipment_->setValue(QStringLiteral("speed"), speedKmh);
    if (sent) sent = equipment_->setValue(QStringLiteral("incline"), inclinePercent);
    return finishLoad(sent);
}

bool EquipmentCommander::finishLoad(bool sent) {
    // The completion call is made whatever the sets reported; a refused one
    // means the load never reached the equipment, which is a failure too.
    const bool applied = equipment_->apply();
    if (sent && applied) return true;
    equipment_ = nullptr;
    return false;
}

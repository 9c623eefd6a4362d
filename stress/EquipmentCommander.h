#pragma once
// Sends the stress test's commands to the treadmill or ergometer and drops
// the equipment after its first failure, so a test never stalls on it.

#include "store/Protocol.h"
#include "stress/RampProtocol.h"

class EquipmentController;

class EquipmentCommander {
public:
    // `equipment` may be null (manual load); it must outlive this object.
    explicit EquipmentCommander(EquipmentController *equipment) : equipment_(equipment) {}

    bool hasEquipment() const { return equipment_ != nullptr; }

    // Each returns false when the equipment failed; it is dropped then, and
    // later calls send nothing and succeed.
    bool start();
    bool stop();
    // The load of stage `index` of `protocol`; nothing for protocols
    // without equipment (resting ECG, tilt test, pharmacologic).
    bool sendStageLoad(const Protocol &protocol, int index);
    bool sendTreadmillLoad(const TreadmillLoad &load);
    // False, dropping the equipment, once it reports that it can no longer
    // take commands (its link died after the last one), so the loss is known
    // at once rather than when the next load would be sent.
    bool checkReady();

private:
    bool sendTreadmill(double speedKmh, double inclinePercent);
    bool finishLoad(bool sent);

    EquipmentController *equipment_;
};

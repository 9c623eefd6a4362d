#include "StageMets.h"

double stageMets(const StageLoad &load, double patientWeightKg) {
    constexpr double kRestingVo2 = 3.5;  // ml O2 / kg / min, one MET
    switch (load.protocolType) {
    case StageLoad::Treadmill: {
        const double metresPerMinute = load.speedKmh * 1000.0 / 60.0;
        const double grade = load.inclinePercent / 100.0;
        // Walking costs less per metre on the level but more per metre of
        // climb than running does.
        const double vo2 = metresPerMinute < kRunningMetresPerMinute
                               ? 0.1 * metresPerMinute + 1.8 * metresPerMinute * grade + kRestingVo2
                               : 0.2 * metresPerMinute + 0.9 * metresPerMinute * grade + kRestingVo2;
        return vo2 / kRestingVo2;
    }
    case StageLoad::Ergometer:
        if (patientWeightKg <= 0.0) return 0.0;
        return (10.8 * load.watts / patientWeightKg + 7.0) / kRestingVo2;
    default: return 0.0;
    }
}

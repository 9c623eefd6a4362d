#include "tools/sim/model/LeadSystem.h"

#include <cmath>

namespace LeadSystem {
namespace {

// Chest electrode in the horizontal plane: `degrees` from the patient's left
// towards the front, `height` positive below the heart's centre, and a gain
// for its proximity to the heart (the precordial leads see larger voltages).
Vector3 chestElectrode(double degrees, double height, double gain) {
    const double radians = degrees * 3.14159265358979323846 / 180.0;
    return {gain * std::cos(radians), gain * height, gain * std::sin(radians)};
}

std::array<Vector3, ElectrodeCount> makeElectrodeVectors() {
    std::array<Vector3, ElectrodeCount> e{};
    // Idealised Einthoven triangle scaled so lead I has unit gain; the three
    // limb vectors sum to zero, which keeps Wilson's terminal free of dipole.
    e[RA] = {-0.5, -0.288675134594813, 0.0};
    e[LA] = {0.5, -0.288675134594813, 0.0};
    e[LL] = {0.0, 0.577350269189626, 0.0};
    // V1/V2 sit at the 4th intercostal space (above the heart's centre), V4-V6
    // at the 5th; V2-V4 are closest to the heart.
    e[V1e] = chestElectrode(118.0, -0.15, 1.10);
    e[V2e] = chestElectrode(96.0, -0.12, 1.70);
    e[V3e] = chestElectrode(76.0, -0.02, 1.70);
    e[V4e] = chestElectrode(56.0, 0.10, 1.65);
    e[V5e] = chestElectrode(30.0, 0.16, 1.42);
    e[V6e] = chestElectrode(4.0, 0.20, 1.12);
    // Upper sternum: above and in front of the heart.
    e[Manubrium] = {-0.05, -0.45, 0.25};
    return e;
}

std::array<Vector3, 14> makeLeadVectors() {
    const auto &e = electrodeVectors();
    std::array<Vector3, 14> leads{};
    for (int axis = 0; axis < 3; ++axis) {
        double electrodes[ElectrodeCount];
        for (int i = 0; i < ElectrodeCount; ++i) electrodes[i] = axis == 0 ? e[i].x : axis == 1 ? e[i].y : e[i].z;
        double values[14];
        leadsFromElectrodes(electrodes, values);
        for (int lead = 0; lead < 14; ++lead) {
            double &component = axis == 0 ? leads[lead].x : axis == 1 ? leads[lead].y : leads[lead].z;
            component = values[lead];
        }
    }
    return leads;
}

}  // namespace

const std::array<Vector3, ElectrodeCount> &electrodeVectors() {
    static const std::array<Vector3, ElectrodeCount> vectors = makeElectrodeVectors();
    return vectors;
}

const std::array<Vector3, 14> &leadVectors() {
    static const std::array<Vector3, 14> vectors = makeLeadVectors();
    return vectors;
}

void leadsFromElectrodes(const double *e, double *leads) {
    const double wilson = (e[RA] + e[LA] + e[LL]) / 3.0;
    leads[0] = e[LA] - e[RA];                  // I
    leads[1] = e[LL] - e[RA];                  // II
    leads[2] = e[LL] - e[LA];                  // III
    leads[3] = e[RA] - 0.5 * (e[LA] + e[LL]);  // aVR
    leads[4] = e[LA] - 0.5 * (e[RA] + e[LL]);  // aVL
    leads[5] = e[LL] - 0.5 * (e[RA] + e[LA]);  // aVF
    for (int k = 0; k < 6; ++k) leads[6 + k] = e[V1e + k] - wilson;
    leads[12] = e[V5e] - e[Manubrium];  // CM5
    leads[13] = e[V5e] - e[RA];         // CR5
}

LeadValues leadsFromElectrodes(const ElectrodeValues &electrodes) {
    LeadValues leads{};
    leadsFromElectrodes(electrodes.data(), leads.data());
    return leads;
}

}  // namespace LeadSystem

#pragma once
// The electrodes on the body and how the recorded leads are formed from their
// potentials. Each electrode sees the cardiac dipole through a fixed lead
// vector; every lead is a difference of electrode potentials, so the limb-lead
// identities (III = II - I, ...) hold by construction.

#include "tools/sim/model/WaveShapes.h"

#include <array>

namespace LeadSystem {

enum Electrode { RA, LA, LL, V1e, V2e, V3e, V4e, V5e, V6e, Manubrium, ElectrodeCount };

using ElectrodeValues = std::array<double, ElectrodeCount>;
using LeadValues = std::array<double, 14>;  // channel-table order "I" ... "CR5"

// Potential per unit dipole seen at each electrode (mV per model unit).
const std::array<Vector3, ElectrodeCount> &electrodeVectors();

// The 14 leads of the channel table from electrode potentials.
void leadsFromElectrodes(const double *electrodes, double *leads);
LeadValues leadsFromElectrodes(const ElectrodeValues &electrodes);

// Equivalent lead vector of each lead (the dipole projection it records).
const std::array<Vector3, 14> &leadVectors();

}  // namespace LeadSystem

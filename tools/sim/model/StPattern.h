#pragma once
// Turns requested per-lead ST deviations into electrode potentials the model
// can produce. The six limb leads have only two degrees of freedom, so limb
// requests are met in the least-squares sense by one frontal-plane ST vector;
// chest requests are met exactly by offsets on the chest electrodes.

#include "tools/sim/model/LeadSystem.h"

#include <vector>

struct StRequest {
    int lead = 0;  // channel-table index; 0..11 or 12 (CM5)
    double millivolts = 0.0;
};

class StPattern {
public:
    StPattern() = default;
    // Leads the pattern cannot be asked for: CR5 shares the RA electrode with
    // the limb leads, so it follows from V5 and the limb fit.
    static bool canRequest(int lead);
    static StPattern fit(const std::vector<StRequest> &requests);

    // ST potential of each electrode at full expression.
    const LeadSystem::ElectrodeValues &electrodes() const { return electrodes_; }
    // What the leads show at full expression.
    LeadSystem::LeadValues leads() const { return LeadSystem::leadsFromElectrodes(electrodes_); }
    bool isZero() const;

private:
    LeadSystem::ElectrodeValues electrodes_{};
};

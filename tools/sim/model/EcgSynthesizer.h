#pragma once
// Puts the model together for one configuration: schedules the beats, shapes
// each one, and streams the 14-lead recording (beats, interference and noise)
// frame by frame into a device; also yields the per-beat truth.

#include "tools/sim/model/BeatMorphology.h"
#include "tools/sim/model/BeatSchedule.h"
#include "tools/sim/model/HeartRateProfile.h"
#include "tools/sim/model/Respiration.h"
#include "tools/sim/model/SimulationConfig.h"
#include "tools/sim/model/StPattern.h"
#include "tools/sim/model/TruthTable.h"

#include <QIODevice>
#include <QString>
#include <vector>

class EcgSynthesizer {
public:
    explicit EcgSynthesizer(const SimulationConfig &config);

    const std::vector<ScheduledBeat> &beats() const { return beats_; }
    const StPattern &stPattern() const { return stPattern_; }
    // Beats whose R peak lies in the recording, in time order.
    std::vector<TruthRow> truth() const;

    // Streams the whole recording; false with a reason when the device fails.
    bool writeRecording(QIODevice &device, QString *error) const;

    // Noise-free lead values of beat `index` at `t` seconds from its QRS onset.
    LeadSystem::LeadValues beatLeadsAt(std::size_t index, double t) const;

private:
    struct Placement {
        std::size_t beat;
        double origin;  // time of the beat's QRS onset in this copy
        double from;
        double to;
    };
    std::vector<Placement> placements() const;

    SimulationConfig config_;
    HeartRateProfile profile_;
    Respiration respiration_;
    std::vector<ScheduledBeat> beats_;
    std::vector<BeatShape> shapes_;
    StPattern stPattern_;
};

HeartRateProfile makeRateProfile(const SimulationConfig &config);

#include "tools/sim/model/EcgSynthesizer.h"

#include "tools/sim/model/NoiseAmplitudes.h"
#include "tools/sim/model/PeriodicInterference.h"
#include "tools/sim/model/RandomArtefacts.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>

using namespace LeadSystem;

namespace {
constexpr int kChunkFrames = 4096;
constexpr double kLoopFadeSeconds = 1.0;
}  // namespace

HeartRateProfile makeRateProfile(const SimulationConfig &config) {
    if (config.profile == RateProfileKind::Stress)
        return HeartRateProfile::stress(config.restRate, config.peakRate,
                                        static_cast<double>(config.frameCount()) / config.samplingRate);
    return HeartRateProfile::constant(config.restRate);
}

EcgSynthesizer::EcgSynthesizer(const SimulationConfig &config)
    : config_(config), profile_(makeRateProfile(config)),
      respiration_(profile_, static_cast<double>(config.frameCount()) / config.samplingRate, config.loop),
      beats_(BeatSchedule::build(config_, profile_, respiration_)), stPattern_(StPattern::fit(config.stRequests)) {
    shapes_.reserve(beats_.size());
    for (const ScheduledBeat &beat : beats_)
        shapes_.push_back(beat.ventricular ? BeatMorphology::ventricular(beat.amplitudeScale)
                                           : BeatMorphology::sinus(beat.heartRate, beat.amplitudeScale));
}

LeadValues EcgSynthesizer::beatLeadsAt(std::size_t index, double t) const {
    const BeatShape &shape = shapes_[index];
    const Vector3 dipole = BeatMorphology::dipoleAt(shape, t);
    const double st = beats_[index].stFactor * BeatMorphology::stProfileAt(shape, t);
    const auto &vectors = electrodeVectors();
    ElectrodeValues electrodes{};
    for (std::size_t e = 0; e < electrodes.size(); ++e)
        electrodes[e] = dot(vectors[e], dipole) + st * stPattern_.electrodes()[e];
    return leadsFromElectrodes(electrodes);
}

std::vector<TruthRow> EcgSynthesizer::truth() const {
    const std::int64_t frames = config_.frameCount();
    std::vector<TruthRow> rows;
    for (std::size_t i = 0; i < beats_.size(); ++i) {
        TruthRow row;
        row.sample = std::llround(beats_[i].rTime * config_.samplingRate);
        if (config_.loop) row.sample %= frames;
        if (row.sample < 0 || row.sample >= frames) continue;
        row.ventricular = beats_[i].ventricular;
        row.rr = beats_[i].rr;
        // Read off the beat itself rather than echoing the request: limb
        // requests are only met in the least-squares sense.
        const BeatShape &shape = shapes_[i];
        const LeadValues atSt = beatLeadsAt(i, shape.jPoint + BeatMorphology::kStMeasureDelay);
        const LeadValues atPr = beatLeadsAt(i, shape.isoelectricReference);
        for (std::size_t lead = 0; lead < row.st.size(); ++lead) row.st[lead] = atSt[lead] - atPr[lead];
        rows.push_back(row);
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TruthRow &a, const TruthRow &b) { return a.sample < b.sample; });
    return rows;
}

std::vector<EcgSynthesizer::Placement> EcgSynthesizer::placements() const {
    const double length = static_cast<double>(config_.frameCount()) / config_.samplingRate;
    std::vector<Placement> list;
    for (std::size_t i = 0; i < beats_.size(); ++i) {
        const double origin = beats_[i].rTime - shapes_[i].rPeak;
        const Placement placement{i, origin, origin + shapes_[i].start, origin + shapes_[i].end};
        list.push_back(placement);
        // In a loop a beat hanging over either end continues at the other.
        if (config_.loop && placement.from < 0.0)
            list.push_back({i, origin + length, placement.from + length, placement.to + length});
        if (config_.loop && placement.to > length)
            list.push_back({i, origin - length, placement.from - length, placement.to - length});
    }
    std::sort(list.begin(), list.end(), [](const Placement &a, const Placement &b) { return a.from < b.from; });
    return list;
}

bool EcgSynthesizer::writeRecording(QIODevice &device, QString *error) const {
    const std::int64_t frames = config_.frameCount();
    const double rate = config_.samplingRate;
    NoiseAmplitudes amplitudes = NoiseAmplitudes::forLevel(config_.noise);
    if (config_.mainsMillivolts >= 0.0) amplitudes.mains = config_.mainsMillivolts;
    const PeriodicInterference interference(config_, amplitudes, respiration_);
    RandomArtefacts artefactStream(config_, amplitudes, profile_);
    LoopedArtefacts artefacts(artefactStream, amplitudes.any() ? frames : 0, config_.loop,
                              amplitudes.any() ? static_cast<int>(kLoopFadeSeconds * rate) : 0);

    const std::vector<Placement> copies = placements();
    double longestBeat = 0.0;
    for (const Placement &p : copies) longestBeat = std::max(longestBeat, p.to - p.from);

    const auto &vectors = electrodeVectors();
    const ElectrodeValues &stElectrodes = stPattern_.electrodes();
    std::vector<Vector3> dipole(kChunkFrames);
    std::vector<double> stLevel(kChunkFrames);
    QByteArray bytes(kChunkFrames * SampleFormat::kBytesPerFrame, '\0');
    std::size_t firstCopy = 0;

    for (std::int64_t chunkStart = 0; chunkStart < frames; chunkStart += kChunkFrames) {
        const int count = static_cast<int>(std::min<std::int64_t>(kChunkFrames, frames - chunkStart));
        std::fill(dipole.begin(), dipole.end(), Vector3{});
        std::fill(stLevel.begin(), stLevel.end(), 0.0);
        const double chunkFrom = chunkStart / rate;
        const double chunkTo = (chunkStart + count) / rate;

        while (firstCopy < copies.size() && copies[firstCopy].from + longestBeat < chunkFrom) ++firstCopy;
        for (std::size_t c = firstCopy; c < copies.size() && copies[c].from < chunkTo; ++c) {
            const Placement &copy = copies[c];
            const BeatShape &shape = shapes_[copy.beat];
            const double stFactor = beats_[copy.beat].stFactor;
            const auto first =
                std::max<std::int64_t>(chunkStart, static_cast<std::int64_t>(std::ceil(copy.from * rate)));
            const auto last =
                std::min<std::int64_t>(chunkStart + count - 1, static_cast<std::int64_t>(std::floor(copy.to * rate)));
            for (std::int64_t frame = first; frame <= last; ++frame) {
                const double t = frame / rate - copy.origin;
                const auto slot = static_cast<std::size_t>(frame - chunkStart);
                dipole[slot] = dipole[slot] + BeatMorphology::dipoleAt(shape, t);
                if (stFactor != 0.0) stLevel[slot] += stFactor * BeatMorphology::stProfileAt(shape, t);
            }
        }

        auto *out = reinterpret_cast<uchar *>(bytes.data());
        for (int i = 0; i < count; ++i) {
            double electrodes[ElectrodeCount];
            if (amplitudes.any()) {
                artefacts.next(electrodes);
                interference.addTo(chunkStart + i, electrodes);
            } else {
                std::fill(std::begin(electrodes), std::end(electrodes), 0.0);
            }
            const auto slot = static_cast<std::size_t>(i);
            for (std::size_t e = 0; e < ElectrodeCount; ++e)
                electrodes[e] += dot(vectors[e], dipole[slot]) + stLevel[slot] * stElectrodes[e];
            double leads[SampleFormat::kChannels];
            leadsFromElectrodes(electrodes, leads);
            for (double lead : leads) {
                qToLittleEndian<qint16>(SampleFormat::toSample(lead), out);
                out += 2;
            }
        }
        const qint64 size = static_cast<qint64>(count) * SampleFormat::kBytesPerFrame;
        if (device.write(bytes.constData(), size) != size) {
            if (error) *error = device.errorString();
            return false;
        }
    }
    return true;
}

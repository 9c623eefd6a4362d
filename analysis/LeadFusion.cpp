#include "analysis/LeadFusion.h"

#include "analysis/FusedBeatSink.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kMaxWaits = 2;
constexpr double kRefractory = 0.2;  // seconds after an accepted beat
}  // namespace

LeadFusion::LeadFusion(int leadCount, int rate)
    : rate_(rate), lateLimit_(static_cast<int>(0.075 * rate)), queues_(static_cast<std::size_t>(leadCount)),
      detections_(static_cast<std::size_t>(leadCount)), present_(static_cast<std::size_t>(leadCount)) {
    fiducials_.reserve(static_cast<std::size_t>(leadCount));
}

void LeadFusion::clear() {
    for (auto &q : queues_) q.clear();
    waits_ = 0;
}

std::int64_t LeadFusion::median(std::vector<std::int64_t> &values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void LeadFusion::dropBefore(std::int64_t sample) {
    for (auto &q : queues_)
        while (!q.empty() && q.front().fiducial < sample) q.pop_front();
}

void LeadFusion::dropAfterPreviousBeat(const FusedBeatSink &sink) {
    const auto previous = sink.previousBeatTime();
    if (!previous) return;
    dropBefore(static_cast<std::int64_t>(std::floor((*previous + kRefractory) * rate_ + 1e-9)));
}

int LeadFusion::fuse(FusedBeatSink &sink, bool draining) {
    const int leads = leadCount();
    int fused = 0;
    for (;;) {
        // The refractory drop is applied again after every beat handed on, so
        // the leads left out of a beat as late cannot make a beat of their
        // own right after it.
        dropAfterPreviousBeat(sink);
        // A lead holding two detections has moved past the head beat, so the
        // others have had their chance to report it.
        const std::size_t needed = draining ? 1 : 2;
        const bool ready =
            std::any_of(queues_.begin(), queues_.end(), [needed](const auto &q) { return q.size() >= needed; });
        if (!ready) return fused;

        int present = 0;
        std::int64_t earliest = 0;
        for (const auto &q : queues_) {
            if (q.empty()) continue;
            if (present == 0 || q.front().fiducial < earliest) earliest = q.front().fiducial;
            ++present;
        }
        // Few leads saw it: give the others up to two runs to report it.
        if (!draining && leads >= 5 && present <= leads / 2 && waits_ < kMaxWaits) {
            ++waits_;
            return fused;
        }
        waits_ = 0;

        fiducials_.clear();
        for (int k = 0; k < leads; ++k) {
            const auto &q = queues_[static_cast<std::size_t>(k)];
            const bool joins = !q.empty() && q.front().fiducial - earliest <= lateLimit_;
            present_[static_cast<std::size_t>(k)] = joins;
            if (joins) fiducials_.push_back(q.front().fiducial);
        }
        const std::int64_t beat = median(fiducials_);
        for (int k = 0; k < leads; ++k) {
            auto &q = queues_[static_cast<std::size_t>(k)];
            LeadDetection &d = detections_[static_cast<std::size_t>(k)];
            if (present_[static_cast<std::size_t>(k)]) {
                d = q.front();
                q.pop_front();
            } else {
                d = LeadDetection::absent(beat);
            }
            d.fiducial = beat;
        }
        sink.acceptFusedBeat(detections_, present_);
        ++fused;
    }
}

#include "tools/sim/model/StPattern.h"

#include <cmath>

using namespace LeadSystem;

namespace {
constexpr int kLimbLeads = 6;
constexpr int kCm5 = 12;
constexpr int kCr5 = 13;

// Least-squares frontal ST vector for the requested limb leads; with a single
// request the minimum-norm solution (along that lead's axis).
Vector3 fitFrontalVector(const std::vector<StRequest> &requests) {
    const auto &leads = leadVectors();
    double sxx = 0.0, sxy = 0.0, syy = 0.0, bx = 0.0, by = 0.0;
    int count = 0;
    for (const StRequest &request : requests) {
        if (request.lead >= kLimbLeads) continue;
        const Vector3 &l = leads[static_cast<std::size_t>(request.lead)];
        sxx += l.x * l.x;
        sxy += l.x * l.y;
        syy += l.y * l.y;
        bx += l.x * request.millivolts;
        by += l.y * request.millivolts;
        ++count;
    }
    if (count == 0) return {};
    const double determinant = sxx * syy - sxy * sxy;
    // Two different limb leads are never parallel, so a degenerate system means
    // every request names the same lead.
    if (std::abs(determinant) < 1e-9 * (sxx + syy) * (sxx + syy)) {
        const double norm = sxx + syy;
        return {bx / norm, by / norm, 0.0};
    }
    return {(syy * bx - sxy * by) / determinant, (sxx * by - sxy * bx) / determinant, 0.0};
}
}  // namespace

bool StPattern::canRequest(int lead) { return lead >= 0 && lead < kCr5; }

StPattern StPattern::fit(const std::vector<StRequest> &requests) {
    StPattern pattern;
    const Vector3 frontal = fitFrontalVector(requests);
    const auto &vectors = electrodeVectors();
    // The injury current is seen by every electrode, chest ones included.
    for (int e = 0; e < ElectrodeCount; ++e)
        pattern.electrodes_[static_cast<std::size_t>(e)] = dot(vectors[static_cast<std::size_t>(e)], frontal);

    // Chest electrodes are then moved so their leads show exactly what was
    // asked; Wilson's terminal is made of limb electrodes only, so the
    // corrections do not disturb each other or the limb leads.
    const LeadValues before = pattern.leads();
    for (const StRequest &request : requests) {
        if (request.lead >= 6 && request.lead < 12)
            pattern.electrodes_[static_cast<std::size_t>(V1e + request.lead - 6)] +=
                request.millivolts - before[static_cast<std::size_t>(request.lead)];
    }
    // CM5 is the only lead using the manubrium electrode, so it is met last.
    for (const StRequest &request : requests) {
        if (request.lead == kCm5) {
            const LeadValues now = pattern.leads();
            pattern.electrodes_[Manubrium] -= request.millivolts - now[kCm5];
        }
    }
    return pattern;
}

bool StPattern::isZero() const {
    for (double value : electrodes_)
        if (value != 0.0) return false;
    return true;
}

#include "analysis/QuietLeadCheck.h"

#include <algorithm>

QuietLeadCheck::QuietLeadCheck(int leads) : leads_(static_cast<std::size_t>(std::max(leads, 0))) {}

void QuietLeadCheck::record(int lead, double activity) {
    if (lead < 0 || lead >= static_cast<int>(leads_.size())) return;
    History &h = leads_[static_cast<std::size_t>(lead)];
    h.values[static_cast<std::size_t>(h.next)] = activity;
    h.next = (h.next + 1) % kHistory;
    h.count = std::min(h.count + 1, kHistory);
}

double QuietLeadCheck::reference(int lead) const {
    if (lead < 0 || lead >= static_cast<int>(leads_.size())) return 0.0;
    const History &h = leads_[static_cast<std::size_t>(lead)];
    if (h.count == 0) return 0.0;
    // The median, so one noisy or one unusual beat does not move it.
    std::array<double, kHistory> sorted = h.values;
    const auto middle = sorted.begin() + h.count / 2;
    std::nth_element(sorted.begin(), middle, sorted.begin() + h.count);
    return *middle;
}

bool QuietLeadCheck::quiet(int lead, double activity) const {
    const double r = reference(lead);
    return r > 0.0 && activity < kQuietShare * r;
}

bool QuietLeadCheck::typical(int lead, double activity) const {
    const double r = reference(lead);
    return r > 0.0 && activity >= kTypicalShare * r && activity <= r / kTypicalShare;
}

void QuietLeadCheck::clear() {
    for (History &h : leads_) h = History{};
}

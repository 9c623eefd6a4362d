#include "ui/EcgLeadLayout.h"

namespace EcgLeadLayout {

namespace {
// Channels of the limb leads in hexaxial order: aVL, I, aVR, II, aVF, III.
constexpr int kHexaxial[kLimbLeads] = {4, 0, 3, 1, 5, 2};
constexpr int kAvr = 3;
}  // namespace

std::vector<DisplayLead> order(const QStringList &names, bool hexaxial) {
    std::vector<DisplayLead> leads;
    const int count = names.size();
    const bool reorder = hexaxial && count >= kLimbLeads;
    for (int position = 0; position < count; ++position) {
        DisplayLead lead;
        lead.channel = reorder && position < kLimbLeads ? kHexaxial[position] : position;
        lead.label = names[lead.channel];
        if (reorder && lead.channel == kAvr) {
            lead.inverted = true;
            lead.label = QStringLiteral("\u2212") + lead.label;
        }
        leads.push_back(lead);
    }
    return leads;
}

std::vector<DisplayLead> shown(const QStringList &names, const std::vector<bool> &shownFlags, bool hexaxial) {
    std::vector<DisplayLead> leads;
    for (const DisplayLead &lead : order(names, hexaxial)) {
        const auto c = static_cast<std::size_t>(lead.channel);
        if (c < shownFlags.size() && shownFlags[c]) leads.push_back(lead);
    }
    return leads;
}

}  // namespace EcgLeadLayout

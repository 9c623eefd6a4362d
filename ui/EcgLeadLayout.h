#pragma once
// The order leads are drawn in: the channel order, or with the six limb
// leads in hexaxial order (aVL, I, -aVR, II, aVF, III), where aVR is drawn
// inverted. Only the channel table's first six channels are limb leads.

#include <QString>
#include <QStringList>
#include <vector>

struct DisplayLead {
    int channel = 0;
    QString label;
    bool inverted = false;
};

namespace EcgLeadLayout {

constexpr int kLimbLeads = 6;

// Every channel of `names` in display order.
std::vector<DisplayLead> order(const QStringList &names, bool hexaxial);
// The channels whose `shown` flag is set (missing flags count as hidden).
std::vector<DisplayLead> shown(const QStringList &names, const std::vector<bool> &shownFlags, bool hexaxial);

}  // namespace EcgLeadLayout

#include "tools/cli/LeadNames.h"

#include "analysis/ChannelTable.h"
#include "tools/cli/InputSignals.h"

#include <vector>

namespace LeadNames {

int channelOf(const QString &leadName) {
    QString name = leadName.trimmed();
    // Ambulatory and arrhythmia records use modified limb leads (electrodes
    // on the torso); their waves are read as the standard limb lead's.
    if (name.startsWith(QLatin1String("ML"), Qt::CaseInsensitive)) {
        const QString limb = name.mid(2);
        if (limb.compare(QLatin1String("I"), Qt::CaseInsensitive) == 0 ||
            limb.compare(QLatin1String("II"), Qt::CaseInsensitive) == 0 ||
            limb.compare(QLatin1String("III"), Qt::CaseInsensitive) == 0)
            name = limb;
    }
    for (int i = 0; i < ChannelTable::kChannelCount; ++i)
        if (ChannelTable::name(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

bool rename(const QStringList &names, InputSignals *input, QString *error) {
    if (names.size() != static_cast<int>(input->leads.size())) {
        *error = QStringLiteral("--leads names %1 leads, the input has %2").arg(names.size()).arg(input->leads.size());
        return false;
    }
    std::vector<bool> taken(ChannelTable::kChannelCount, false);
    std::vector<bool> named(ChannelTable::kChannelCount, false);  // by the input's own names
    for (std::size_t i = 0; i < input->leads.size(); ++i) {
        InputLead &lead = input->leads[i];
        const QString &name = names[static_cast<int>(i)];
        // Unused though its own name is a table lead, and not as a repeat of
        // an earlier lead (which the new names may well resolve): refused for
        // what it holds.
        const int own = channelOf(lead.name);
        const bool refused = lead.channel < 0 && own >= 0 && !named[static_cast<std::size_t>(own)];
        if (own >= 0) named[static_cast<std::size_t>(own)] = true;
        lead.channel = -1;
        if (name == QLatin1String("-")) continue;
        const int channel = channelOf(name);
        if (channel < 0) {
            *error = QStringLiteral("--leads: \"%1\" is not a lead of the channel table").arg(name);
            return false;
        }
        if (taken[static_cast<std::size_t>(channel)]) {
            *error = QStringLiteral("--leads names %1 twice").arg(ChannelTable::name(channel));
            return false;
        }
        taken[static_cast<std::size_t>(channel)] = true;
        lead.name = ChannelTable::name(channel);
        if (!refused) lead.channel = channel;
    }
    return true;
}

}  // namespace LeadNames

#include "tools/cli/LeadNames.h"

#include "analysis/ChannelTable.h"

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

}  // namespace LeadNames

#include "analysis/ChannelTable.h"

namespace ChannelTable {
namespace {
const char *const kNames[kChannelCount] = {"I",  "II", "III", "aVR", "aVL", "aVF", "V1",
                                           "V2", "V3", "V4",  "V5",  "V6",  "CM5", "CR5"};

bool selected(std::int32_t mask, int index) { return (static_cast<std::uint32_t>(mask) >> index) & 1u; }
}  // namespace

QString name(int index) {
    if (index < 0 || index >= kChannelCount) return QString();
    return QString::fromLatin1(kNames[index]);
}

int indexOf(const QString &channelName) {
    for (int i = 0; i < kChannelCount; ++i)
        if (channelName == QLatin1String(kNames[i])) return i;
    return -1;
}

QStringList maskedNames(std::int32_t mask, int available) {
    QStringList names;
    for (int i = 0; i < available && i < kChannelCount; ++i)
        if (selected(mask, i)) names << name(i);
    return names;
}

int maskedCount(std::int32_t mask, int available) { return maskedNames(mask, available).size(); }

}  // namespace ChannelTable

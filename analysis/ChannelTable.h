#pragma once
// The fixed channel order of every acquisition source and recording, and the
// channel masks that select a subset of it (bit i = channel i).

#include <QString>
#include <QStringList>
#include <cstdint>

namespace ChannelTable {

constexpr int kChannelCount = 14;
constexpr std::int32_t kAllChannelsMask = -1;
constexpr std::int32_t kTiltTestMask = 0x482;  // "II", "V2", "V5"

// Name of channel `index` of the table ("I" ... "CR5"); empty outside 0..13.
QString name(int index);

// Index of a channel name in the table, or -1 when it is not one of ours.
int indexOf(const QString &name);

// Names of the channels a mask selects among the first `available` channels
// of the table, in table order.
QStringList maskedNames(std::int32_t mask, int available = kChannelCount);

// How many channels a mask selects among the first `available`.
int maskedCount(std::int32_t mask, int available = kChannelCount);

}  // namespace ChannelTable

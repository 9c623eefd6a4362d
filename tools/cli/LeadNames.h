#pragma once
// Matches the lead names input files use to the channel table: its names in
// any letter case, and modified limb leads (MLII) as the standard lead.

#include <QString>
#include <QStringList>

struct InputSignals;

namespace LeadNames {
// Index in the channel table, or -1 when the name is not one of its leads.
int channelOf(const QString &leadName);

// Names the input's leads in order with `names` (one per lead; "-" leaves a
// lead unused) and matches them to the table again. A lead the reader
// refused for another reason than its name (not a voltage, a repeat) stays
// unused. False with a message when the count differs, a name is no table
// lead, or two leads get one channel.
bool rename(const QStringList &names, InputSignals *input, QString *error);
}  // namespace LeadNames

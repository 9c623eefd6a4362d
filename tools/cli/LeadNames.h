#pragma once
// Matches the lead names input files use to the channel table: its names in
// any letter case, and modified limb leads (MLII) as the standard lead.

#include <QString>

namespace LeadNames {
// Index in the channel table, or -1 when the name is not one of its leads.
int channelOf(const QString &leadName);
}  // namespace LeadNames

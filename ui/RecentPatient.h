#pragma once
// The record of the most recent stored study, which "Repeat patient" copies
// into a new study's form.

#include "store/StudyInfo.h"

#include <optional>

class StudyStore;

namespace RecentPatient {

// The study with the greatest studyDateTime text (byte order; the last of
// equals in the index's order), read apart from the store's open studies;
// nothing when the store is empty or that study does not read.
std::optional<StudyInfo> latest(const StudyStore &store);

}  // namespace RecentPatient

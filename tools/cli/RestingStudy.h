#pragma once
// A resting-ECG study ("ECG") made from a recording without a device: its
// standard leads' signal, the beats the analysis finds and the global 12-lead
// measurement of their average, stored as the study's results. What a
// resting acquisition leaves in the store, for reports, tests and benches.

#include "tools/cli/Recording.h"

class Study;
class StudyStore;
struct StudyInfo;

namespace RestingStudy {

// The resting study type, as review and reports tell it from a stress test.
constexpr const char *kStudyType = "ECG";

// A resting ECG lasts ten seconds.
constexpr double kDefaultSeconds = 10.0;

// Keeps the first `seconds` of `recording`.
void keepFirstSeconds(Recording &recording, double seconds);

// Creates the study in `store` from `recording` with the patient and study
// fields of `info` (its format fields are the recording's), saves it and
// returns it open; the store owns it (close it with closeStudy). Throws
// std::runtime_error when the store cannot write it or the recording has
// no lead of the channel table.
Study *create(StudyStore &store, const Recording &recording, StudyInfo info);

}  // namespace RestingStudy

#pragma once
// Copies between a study and its flat summary, for the index row, the study
// data dialog and the creation of a new study.

#include "store/Study.h"
#include "store/StudyInfo.h"

// Id, both date-times, every property field and the risk factors in name
// order. The recording fields stay at their defaults.
StudyInfo infoFromStudy(const Study &study);

// Writes both date-times and every property field into the study, empty
// values included. Id and risk factors are left alone.
void applyInfo(Study &study, const StudyInfo &info);

// The recording fields of a study taken from the 12-lead front end: every
// channel of the channel table at `samplingRate`, 16-bit samples over the
// front end's amplitude range. Everything else stays at its default.
StudyInfo frontEndRecordingInfo(int samplingRate);

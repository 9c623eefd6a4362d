#pragma once
// The base name a new study's files share, built from the patient's
// identifiers and the study date-time, and the check an imported name passes.

#include "store/StudyInfo.h"

#include <QByteArray>

namespace StudyBaseName {

// History number, person id, last name and first name, each followed by "-"
// when present, then the study date-time. A character no file name may hold
// on Windows or Linux (path separators, ":*?\"<>|", control characters)
// becomes "_", and the name is never empty, "." or "..", so patient text can
// never place a file outside the store folder.
QByteArray forNewStudy(const StudyInfo &info);

// True for a name usable as it stands inside the store folder: non-empty, not
// "." or "..", without path separators or NUL. Stored studies may carry
// characters a new name would not, so only what could escape is refused.
bool isPlainFileName(const QByteArray &name);

}  // namespace StudyBaseName

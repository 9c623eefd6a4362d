#pragma once
// The study files of a store folder read back into index rows, for
// rebuilding the index: every valid study whatever its name (hidden ones
// included), and every file left out with the reason.

#include "store/StudyInfo.h"

#include <QList>
#include <QString>

namespace StudyFolderScan {

struct LeftOut {
    QString fileName;
    QString reason;
};

struct Result {
    QList<StudyInfo> rows;  // in file-name order, ignoring case
    QList<LeftOut> leftOut;
};

// Reads every "*.hxstudy" of `root`. A file is left out when its document
// cannot be read, lacks its "study" or "patient" object, has an id that is
// not a whole number from 1 to 999 999 999 or one an earlier file has,
// names another base name than its own, or holds a row field that is not text.
Result scan(const QString &root);

}  // namespace StudyFolderScan

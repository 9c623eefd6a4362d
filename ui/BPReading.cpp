#include "ui/BPReading.h"

namespace BPReading {

int fieldValue(const QString &text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

bool isAcceptable(int systolic, int diastolic) { return systolic > 0 && diastolic > 0 && diastolic < systolic; }

bool isSystolicComplete(int systolic) { return systolic > 35; }

}  // namespace BPReading

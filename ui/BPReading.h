#pragma once
// The checks of a blood-pressure reading typed by the operator, kept apart
// from the dialog so they can be tested without one.

#include <QString>

namespace BPReading {

// A field's whole number; an empty or unreadable field reads as 0.
int fieldValue(const QString &text);

// Only a reading with both pressures above zero and the diastolic below the
// systolic can be taken.
bool isAcceptable(int systolic, int diastolic);

// The systolic value is complete once it exceeds 35 mmHg: after two digits
// for 36..99, after three from 100 on (12 is still on its way to 120).
bool isSystolicComplete(int systolic);

}  // namespace BPReading

#pragma once
// The study browser's "Find by name": a typed filter finds a patient by any
// part of the last or first name, whatever the case and the accents, so
// "nunez" finds "Núñez" and "JOSE" finds "José".

#include <QString>

namespace PatientNameFilter {

// `text` with its accents and other combining marks dropped and its case
// folded, for comparison only.
QString folded(const QString &text);

// True when every word of `filter` occurs in the last or the first name;
// an empty (or blank) filter matches every patient.
bool matches(const QString &filter, const QString &lastName, const QString &firstName);

}  // namespace PatientNameFilter

#pragma once
// Conversion of stage loads between the units an operator works in and the
// canonical units a stage stores (km/h, %, watts, plain dose).

#include <QString>

namespace LoadUnits {

// `value` given in `unit` for parameter `name`, as the stage stores it.
double toCanonical(const QString &name, double value, const QString &unit);
// A stored value of parameter `name`, as shown in `unit`.
double fromCanonical(const QString &name, double stored, const QString &unit);

}  // namespace LoadUnits

#pragma once
// Oxygen uptake on a treadmill from speed (km/h) and grade (%), walking or
// running, and the inverse: the end point that reaches a target uptake.

enum class Gait { Walking, Running };

namespace Vo2Model {

constexpr double kRestingVo2 = 3.5;  // ml/kg/min

// ml/kg/min at speed `speed` and grade `grade`.
double vo2(Gait gait, double speed, double grade);
// Grade that reaches `target` at `speed`; needs speed > 0.
double gradeFor(Gait gait, double target, double speed);
// Speed that reaches `target` on the level.
double speedFor(Gait gait, double target);

}  // namespace Vo2Model

#include "stress/Vo2Model.h"

namespace {

// Running costs twice the horizontal and half the vertical oxygen of walking
// per km/h.
struct Coefficients {
    double horizontal;  // per km/h
    double vertical;    // per km/h and %
};

Coefficients coefficients(Gait gait) {
    return gait == Gait::Running ? Coefficients{3.35, 0.15075} : Coefficients{1.675, 0.3015};
}

}  // namespace

namespace Vo2Model {

double vo2(Gait gait, double speed, double grade) {
    const Coefficients c = coefficients(gait);
    return c.vertical * speed * grade + c.horizontal * speed + kRestingVo2;
}

double gradeFor(Gait gait, double target, double speed) {
    const Coefficients c = coefficients(gait);
    return (target - kRestingVo2 - c.horizontal * speed) / (c.vertical * speed);
}

double speedFor(Gait gait, double target) { return (target - kRestingVo2) / coefficients(gait).horizontal; }

}  // namespace Vo2Model

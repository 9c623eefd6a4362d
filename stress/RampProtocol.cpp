#include "stress/RampProtocol.h"

TreadmillLoad RampProtocol::loadAt(double t) const {
    const double fraction = t / (durationMinutes * 60.0);
    TreadmillLoad load;
    load.speed = initialSpeed + (finalSpeed - initialSpeed) * fraction;
    load.incline = initialIncline + (finalIncline - initialIncline) * fraction;
    return load;
}

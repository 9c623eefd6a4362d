#pragma once
// A treadmill ramp: speed and incline rise in a straight line from their
// initial to their final values over the ramp's duration.

#include <QString>

struct TreadmillLoad {
    double speed = 0.0;    // km/h
    double incline = 0.0;  // %
};

class RampProtocol {
public:
    QString name;
    double durationMinutes = 0.0;
    double initialSpeed = 0.0;    // km/h
    double finalSpeed = 0.0;      // km/h
    double initialIncline = 0.0;  // %
    double finalIncline = 0.0;    // %

    // Load `t` seconds into the ramp. Not clamped: past the end the line goes
    // on, and the run control decides when the ramp is over.
    TreadmillLoad loadAt(double t) const;
};

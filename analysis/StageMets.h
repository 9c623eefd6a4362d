#pragma once
// Metabolic equivalents of a protocol stage's load: the walking and running
// treadmill equations, and the ergometer equation with the patient's weight.

// A stage's load in canonical units, as the protocol hands it over.
struct StageLoad {
    enum ProtocolType { Treadmill = 0, Ergometer = 1 };
    int protocolType = -1;  // the protocol's type; other kinds have no METS
    double speedKmh = 0.0;
    double inclinePercent = 0.0;
    double watts = 0.0;
};

// Above this many metres per minute the treadmill equation is the running one.
constexpr double kRunningMetresPerMinute = 83.3333;

// 0 for protocols other than treadmill and ergometer, and for an ergometer
// stage when the weight is unknown (0 or less).
double stageMets(const StageLoad &load, double patientWeightKg);

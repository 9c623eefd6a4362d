#pragma once
// What the average-beat inset beside a lead shows, and where displays get
// it from: the live engine during a test, or a stored record in review.

#include <vector>

struct AverageBeatView {
    std::vector<double> current;    // mV, the lead's current average beat
    std::vector<double> reference;  // mV, the reference average; empty when none was taken
    double rate = 0.0;              // samples/s of both
    bool stValid = false;           // the points and values below were measured
    int isoelectric = 0;            // samples of `current`
    int j = 0;
    int st = 0;
    double levelMv = 0.0;
    double slopeMvPerSecond = 0.0;
};

class AverageBeatProvider {
public:
    virtual ~AverageBeatProvider() = default;
    // Changes whenever any lead's view may have changed.
    virtual long long revision() = 0;
    // False when the lead has no average yet.
    virtual bool view(int channel, AverageBeatView *out) = 0;
    // The part of the signal a display shows, in seconds; providers over a
    // stored record average the beats there, live ones ignore it.
    virtual void setTimeWindow(double /*start*/, double /*end*/) {}
};

#pragma once
// The physical scale an ECG is drawn at: device pixels per millimetre of
// paper, paper speed and gain. The speeds and gains the displays offer are
// defined here once.

#include <array>

struct EcgPaperScale {
    static constexpr std::array<double, 3> kSpeeds = {12.5, 25.0, 50.0};  // mm/s
    static constexpr std::array<double, 3> kGains = {5.0, 10.0, 20.0};    // mm/mV
    static constexpr double kStandardSpeed = 25.0;
    static constexpr double kStandardGain = 10.0;

    double pixelsPerMm = 4.0;
    double mmPerSecond = kStandardSpeed;
    double mmPerMillivolt = kStandardGain;

    double pixelsPerSecond() const { return pixelsPerMm * mmPerSecond; }
    double pixelsPerMillivolt() const { return pixelsPerMm * mmPerMillivolt; }
    double px(double mm) const { return mm * pixelsPerMm; }

    static bool isSpeed(double mmPerSecond) {
        for (double s : kSpeeds)
            if (s == mmPerSecond) return true;
        return false;
    }
    static bool isGain(double mmPerMillivolt) {
        for (double g : kGains)
            if (g == mmPerMillivolt) return true;
        return false;
    }
};

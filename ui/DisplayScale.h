#pragma once
// Pixels per millimetre of the screen a display is on: from the screen's
// physical size, times the user's correction from the ruler check, which is
// kept in the settings under the one key defined here.

class QWidget;
class QScreen;

namespace DisplayScale {

// Settings key of the correction factor (a number near 1).
extern const char *const kCorrectionKey;
// A correction outside this range is taken as damaged and ignored.
constexpr double kSmallestCorrection = 0.5;
constexpr double kLargestCorrection = 2.0;

// Logical pixels per mm the screen reports; 96 dpi when it reports nothing.
double screenPixelsPerMm(const QScreen *screen);
// The stored correction (1 when none or out of range), read afresh.
double correction();
void setCorrection(double factor);
// What a display on `widget`'s screen should use.
double pixelsPerMm(const QWidget *widget);

}  // namespace DisplayScale

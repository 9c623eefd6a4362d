#include "ui/DisplayScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace DisplayScale {

const char *const kCorrectionKey = "EcgDisplay/ScaleCorrection";

namespace {
constexpr double kMmPerInch = 25.4;
constexpr double kFallbackDpi = 96.0;
}  // namespace

double screenPixelsPerMm(const QScreen *screen) {
    if (!screen) return kFallbackDpi / kMmPerInch;
    double dpi = screen->physicalDotsPerInchX();
    // Widgets are laid out in logical pixels: a screen scaled by 2 shows
    // each of them as two device pixels.
    const double ratio = screen->devicePixelRatio();
    if (ratio > 0.0) dpi /= ratio;
    if (!(dpi > 20.0 && dpi < 1000.0)) dpi = kFallbackDpi;
    return dpi / kMmPerInch;
}

double correction() {
    bool ok = false;
    const double factor = QSettings().value(QLatin1String(kCorrectionKey), 1.0).toDouble(&ok);
    return ok && factor >= kSmallestCorrection && factor <= kLargestCorrection ? factor : 1.0;
}

void setCorrection(double factor) { QSettings().setValue(QLatin1String(kCorrectionKey), factor); }

double pixelsPerMm(const QWidget *widget) {
    const QScreen *screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    return screenPixelsPerMm(screen) * correction();
}

}  // namespace DisplayScale

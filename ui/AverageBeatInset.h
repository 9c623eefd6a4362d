#pragma once
// Draws one lead's average-beat inset: the reference average behind the
// current one in a second colour, both aligned on the isoelectric point,
// the isoelectric, J and ST points marked, and the ST level (mm) and slope
// (mm/s) written below. Millimetres of ST are tenths of a millivolt, as on
// standard paper, whatever gain the inset is drawn at.

#include "ui/AverageBeatView.h"

#include <QRectF>

class EcgPainter;
class QPainter;

namespace AverageBeatInset {

// Paper speed of the insets, and the part of the 0.8 s average they show
// (the R peak sits at 0.3 s): from before the P wave to past the T wave.
constexpr double kMmPerSecond = 25.0;
constexpr double kFromSeconds = 0.1;
constexpr double kToSeconds = 0.75;
// The beat with a millimetre either side; the ST values go below it.
constexpr double kWidthMm = (kToSeconds - kFromSeconds) * kMmPerSecond + 2.0;

// `box` is the inset's area; `baselineY` the row's baseline.
void draw(QPainter &painter, const EcgPainter &ecg, const QRectF &box, double baselineY, const AverageBeatView &view);

// "ST -1.2 mm" and "+0.8 mm/s" for a level in mV and a slope in mV/s.
QString levelText(double levelMv);
QString slopeText(double slopeMvPerSecond);

}  // namespace AverageBeatInset

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

// Paper speed of the insets: the beat's 0.8 s take 20 mm.
constexpr double kMmPerSecond = 25.0;
constexpr double kWidthMm = 22.0;

// `box` is the inset's area; `baselineY` the row's baseline.
void draw(QPainter &painter, const EcgPainter &ecg, const QRectF &box, double baselineY, const AverageBeatView &view);

// "ST -1.2 mm" and "+0.8 mm/s" for a level in mV and a slope in mV/s.
QString levelText(double levelMv);
QString slopeText(double slopeMvPerSecond);

}  // namespace AverageBeatInset

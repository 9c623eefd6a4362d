#pragma once
// Where the nine monitored electrodes sit on the chest, as seen facing the
// patient (the patient's right on the viewer's left), in unit coordinates of
// a picture of the torso: x from 0 (left) to 1, y from 0 (top) to 1.

#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <vector>

struct ElectrodeSpot {
    QString name;
    QPointF where;
};

namespace ElectrodePlacement {

// "RA", "LA", "LL", then "V1" to "V6".
const std::vector<ElectrodeSpot> &spots();

// Outline of neck, shoulders, flanks and waist, closed.
QPolygonF torsoOutline();

}  // namespace ElectrodePlacement

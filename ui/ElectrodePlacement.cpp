#include "ui/ElectrodePlacement.h"

namespace ElectrodePlacement {

const std::vector<ElectrodeSpot> &spots() {
    // Limb electrodes on the torso as in exercise testing (Mason-Likar):
    // below the clavicles and on the lower abdomen. Chest electrodes along the
    // fourth and fifth intercostal spaces: V1/V2 beside the sternum, V4
    // mid-clavicular, V5 anterior and V6 mid-axillary.
    static const std::vector<ElectrodeSpot> table = {
        {QStringLiteral("RA"), {0.22, 0.22}}, {QStringLiteral("LA"), {0.78, 0.22}},
        {QStringLiteral("LL"), {0.70, 0.84}}, {QStringLiteral("V1"), {0.43, 0.44}},
        {QStringLiteral("V2"), {0.57, 0.44}}, {QStringLiteral("V3"), {0.63, 0.53}},
        {QStringLiteral("V4"), {0.68, 0.62}}, {QStringLiteral("V5"), {0.79, 0.62}},
        {QStringLiteral("V6"), {0.89, 0.62}},
    };
    return table;
}

QPolygonF torsoOutline() {
    return QPolygonF({{0.42, 0.00},
                      {0.42, 0.07},
                      {0.10, 0.13},
                      {0.04, 0.22},
                      {0.05, 0.50},
                      {0.10, 0.75},
                      {0.14, 0.98},
                      {0.86, 0.98},
                      {0.90, 0.75},
                      {0.95, 0.50},
                      {0.96, 0.22},
                      {0.90, 0.13},
                      {0.58, 0.07},
                      {0.58, 0.00},
                      {0.42, 0.00}});
}

}  // namespace ElectrodePlacement

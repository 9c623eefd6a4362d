#include "ui/ElectrodePlacement.h"

namespace ElectrodePlacement {

const std::vector<ElectrodeSpot> &spots() {
    // Limb electrodes on the torso as in exercise testing (Mason-Likar):
    // below the clavicles and on the lower abdomen. Chest electrodes along the
    // fourth and fifth intercostal spaces: V1/V2 beside the sternum, V4
    // mid-clavicular, V5 anterior and V6 mid-axillary.
    // Spread a little wider than on a real chest so no two labels touch.
    static const std::vector<ElectrodeSpot> table = {
        {QStringLiteral("RA"), {0.20, 0.22}},  {QStringLiteral("LA"), {0.80, 0.22}},
        {QStringLiteral("LL"), {0.70, 0.86}},  {QStringLiteral("V1"), {0.43, 0.40}},
        {QStringLiteral("V2"), {0.57, 0.40}},  {QStringLiteral("V3"), {0.62, 0.51}},
        {QStringLiteral("V4"), {0.67, 0.62}},  {QStringLiteral("V5"), {0.785, 0.64}},
        {QStringLiteral("V6"), {0.905, 0.64}},
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

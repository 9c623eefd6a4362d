#include "tools/sim/model/TruthTable.h"

#include "analysis/ChannelTable.h"

#include <cmath>

namespace TruthTable {
namespace {
constexpr int kDecimals = 4;

// Fixed decimals with '.', and no "-0.0000" for values that round to zero.
QString formatNumber(double value) {
    const double scale = std::pow(10.0, kDecimals);
    if (std::round(value * scale) == 0.0) value = 0.0;
    return QString::number(value, 'f', kDecimals);
}
}  // namespace

QString header() {
    QString line = QStringLiteral("sample,type,rr_s");
    for (int lead = 0; lead < ChannelTable::kChannelCount; ++lead)
        line += QStringLiteral(",st_") + ChannelTable::name(lead);
    return line;
}

QString formatRow(const TruthRow &row) {
    QString line = QString::number(row.sample) + (row.ventricular ? QStringLiteral(",V,") : QStringLiteral(",N,")) +
                   formatNumber(row.rr);
    for (double value : row.st) line += QLatin1Char(',') + formatNumber(value);
    return line;
}

bool write(QIODevice &device, const std::vector<TruthRow> &rows, QString *error) {
    QByteArray text = header().toLatin1() + '\n';
    for (const TruthRow &row : rows) text += formatRow(row).toLatin1() + '\n';
    if (device.write(text) != text.size()) {
        if (error) *error = device.errorString();
        return false;
    }
    return true;
}

}  // namespace TruthTable

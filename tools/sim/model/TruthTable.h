#pragma once
// The per-beat answer key written beside a recording: where each R peak is,
// the beat type, the RR interval and the ST deviation every lead shows.

#include <QIODevice>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

struct TruthRow {
    std::int64_t sample = 0;  // R peak (instant of the largest QRS dipole)
    bool ventricular = false;
    double rr = 0.0;              // seconds since the previous beat
    std::array<double, 14> st{};  // mV at J + 80 ms against the PR segment
};

namespace TruthTable {

QString header();
QString formatRow(const TruthRow &row);
// False with a reason in `error` when the device refuses the text.
bool write(QIODevice &device, const std::vector<TruthRow> &rows, QString *error);

}  // namespace TruthTable

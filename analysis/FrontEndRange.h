#pragma once
// The amplitude range of the ECG front end, defined once: its 16-bit samples
// span -300 .. +300 mV (9.16 uV per unit). The demonstration recording, the
// simulator and the analysis's amplitude limits, which are in sample units,
// are all made for it.

namespace FrontEndRange {
constexpr double kRangeMv = 300.0;
constexpr int kResolutionBits = 16;
constexpr double kMillivoltsPerUnit = 2.0 * kRangeMv / 65536.0;
}  // namespace FrontEndRange

#pragma once
// The designed FIR coefficient arrays. tools/firdesign writes their
// definitions at build time; a length here that disagrees with the design
// fails the compile. Looked up through FirTables.

namespace FirTableData {

extern const double kAntiAlias1000[29];
extern const double kDriftHighPass500[1501];
extern const double kNotch50Hz250[109];
extern const double kNotch50Hz500[195];
extern const double kNotch50Hz1000[391];
extern const double kNotch60Hz250[109];
extern const double kNotch60Hz500[195];
extern const double kNotch60Hz1000[391];
extern const double kMuscle250[62];
extern const double kMuscle40Hz500[12];
extern const double kMuscle40Hz1000[22];
extern const double kMuscle25Hz500[19];
extern const double kMuscle25Hz1000[34];
extern const double kBaseline250[382];
extern const double kBaseline500[501];
extern const double kBaseline1000[1355];
extern const double kAmplitudeNoise250[48];
extern const double kRestingSmoother250[81];

}  // namespace FirTableData

#pragma once
// Helpers for the simulator tests: run the built tool, read back what it
// wrote, and measure the ECG the way a reader of the file would, without
// using the generator's own model.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace SimTest {

constexpr int kChannels = 14;
enum Lead { I, II, III, aVR, aVL, aVF, V1, V2, V3, V4, V5, V6, CM5, CR5 };

struct ToolRun {
    int exitCode = -1;
    QString standardError;
};
// Runs tarvelin-ecg-sim with `arguments`; leak checking off for commands that
// start Qt's offscreen platform, which keeps its screen until exit.
ToolRun runTool(const QStringList &arguments, bool withLeakCheck = true);

// Records into `folder`/`name`.dat with the given options; the test fails if
// the tool does. Returns the recording's path (truth beside it).
QString record(const QString &folder, const QStringList &options, const QString &name = QStringLiteral("r"));
QString truthPathOf(const QString &recordingPath);

struct Recording {
    int rate = 500;
    std::vector<std::int16_t> samples;  // interleaved frames
    std::int64_t frames() const { return static_cast<std::int64_t>(samples.size()) / kChannels; }
    int raw(std::int64_t frame, int lead) const { return samples[static_cast<std::size_t>(frame * kChannels + lead)]; }
    double mv(std::int64_t frame, int lead) const { return raw(frame, lead) * 600.0 / 65536.0; }
};
Recording readRecording(const QString &path, int rate = 500);

struct TruthBeat {
    std::int64_t sample = 0;
    char type = '?';
    double rr = 0.0;
    std::array<double, kChannels> st{};
};
// Fails the current test (and returns what it has) on a malformed file.
std::vector<TruthBeat> readTruth(const QString &path);

// ST deviation at J + 80 ms against the PR segment, with QRS onset and J
// found from the spatial velocity of the 12 standard leads around `rSample`.
double measureSt(const Recording &recording, std::int64_t rSample, int lead);

// Largest sample value of a lead within +-40 ms of the R peak, in mV.
double rAmplitude(const Recording &recording, std::int64_t rSample, int lead);

}  // namespace SimTest

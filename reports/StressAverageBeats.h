#pragma once
// The average beat of every lead at rest, at peak exercise and at the end
// of recovery (the last 20 s of the last stage of each phase), or over the
// whole recording (a resting ECG), from the study's recording and beat file
// through the review filters, with the ST level and slope measured on each.

#include "ui/AverageBeatView.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

class Protocol;
class RecordAverageBeats;
class ReviewFilterChain;
class Study;

class StressAverageBeats {
public:
    enum class Moment { Rest = 0, Peak = 1, Recovery = 2, Record = 3 };

    // Reads nothing until asked; the study must outlive this object.
    explicit StressAverageBeats(const Study &study);
    ~StressAverageBeats();

    // The window of `moment` in seconds of recording: the last 20 s of the
    // last recorded stage of that phase. False when the protocol has none,
    // and for Record, which needs no protocol.
    static bool window(const Protocol &recorded, Moment moment, double *start, double *end);
    // "rest", "peak", "recovery", "record"; false for anything else.
    static bool parseMoment(const QString &name, Moment *moment);

    // The standard leads of the recording (at most twelve), by channel.
    std::vector<int> channels() const;
    // False when the study has no signal or beats there.
    bool view(Moment moment, int channel, AverageBeatView *out);

private:
    RecordAverageBeats *averages(Moment moment);

    const Study &study_;
    std::unique_ptr<ReviewFilterChain> chain_;
    std::array<std::unique_ptr<RecordAverageBeats>, 4> averages_;
    std::array<bool, 4> tried_{};
};

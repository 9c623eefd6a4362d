#pragma once
// Stress-echo wall-motion scores of the sixteen left-ventricular segments at
// rest, at peak and after exercise; index 0 belongs to no segment.

#include <QByteArray>
#include <QtGlobal>
#include <array>

class EchoScoring {
public:
    static constexpr int kSegments = 16;

    std::array<qint32, 17> scoreRest{};
    std::array<qint32, 17> scorePeak{};
    std::array<qint32, 17> scorePost{};

    // The key of segment `index`; empty outside 1..16.
    static QByteArray segmentKey(int index);
    // The segment a key names (exact, case-sensitive); 0 when none does.
    static int segmentIndex(const QByteArray &key);
};

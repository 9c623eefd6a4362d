#pragma once
// One analysed beat: its times, RR, quality and per-lead wave points, in
// seconds of the analysed signal. Stored as a flat little-endian record of
// 56 + 80 x channels bytes in the beat store and the study's beat file.

#include <array>
#include <cstdint>

struct BeatRecord {
    static constexpr int kMaxLeads = 16;

    // The four beat values.
    enum Value { FiducialTime = 0, RrInterval = 1, MeanRrInterval = 2, QualityRatio = 3, ValueCount = 4 };
    // The per-lead values by type; each has a presence flag.
    enum LeadValue {
        LeadPresent = 0,  // 1 when the lead took part in the detection
        PPeakTime = 1,
        QPointTime = 2,
        RPeakTime = 3,
        SPointTime = 4,
        TPeakTime = 5,
        QrsPolarity = 6,
        PPolarity = 7,
        TPolarity = 8,
        QrsSpan = 9,
        PToQSpan = 10,
        QToTSpan = 11,
        LeadValueCount = 12
    };

    struct Lead {
        std::array<double, LeadValueCount> value{};
        std::array<bool, LeadValueCount> has{};

        bool hasValue(LeadValue v) const { return has[v]; }
        double get(LeadValue v) const { return value[v]; }
        void set(LeadValue v, double x) {
            value[v] = x;
            has[v] = true;
        }
        void unset(LeadValue v) {
            value[v] = 0.0;
            has[v] = false;
        }
    };

    std::int32_t index = 0;
    bool valid = false;
    // Classified normal (true) or premature; kept in memory with the beat, not
    // in the stored record (a premature beat is emitted when it is resolved).
    bool normal = true;
    double windowStart = 0.0;
    double windowLength = 0.0;
    std::array<double, ValueCount> values{};
    std::array<Lead, kMaxLeads> leads{};

    double fiducialTime() const { return values[FiducialTime]; }
    double rr() const { return values[RrInterval]; }
    double meanRr() const { return values[MeanRrInterval]; }
    double quality() const { return values[QualityRatio]; }
};

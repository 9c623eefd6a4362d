#include "analysis/BeatRecordCodec.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace BeatRecordCodec {

namespace {

// Offsets inside one lead's 80 bytes.
constexpr int kPresentOffset = 0;
constexpr int kTimesOffset = 8;
constexpr int kPolaritiesOffset = 48;
constexpr int kSpansOffset = 56;
constexpr int kIndexOffset = 48;

// Stored order of the five times, the three polarities and the three spans.
constexpr BeatRecord::LeadValue kTimes[] = {BeatRecord::PPeakTime, BeatRecord::QPointTime, BeatRecord::RPeakTime,
                                            BeatRecord::SPointTime, BeatRecord::TPeakTime};
constexpr BeatRecord::LeadValue kPolarities[] = {BeatRecord::PPolarity, BeatRecord::QrsPolarity, BeatRecord::TPolarity};
constexpr BeatRecord::LeadValue kSpans[] = {BeatRecord::QrsSpan, BeatRecord::PToQSpan, BeatRecord::QToTSpan};

void putDouble(char *at, double value) {
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, at);
}

double getDouble(const char *at) {
    const quint64 bits = qFromLittleEndian<quint64>(at);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double storedValue(const BeatRecord::Lead &lead, BeatRecord::LeadValue v) {
    return lead.hasValue(v) ? lead.get(v) : 0.0;
}

}  // namespace

void toBytes(const BeatRecord &record, int channels, char *destination) {
    std::memset(destination, 0, recordSize(channels));
    putDouble(destination + 0, record.windowStart);
    putDouble(destination + 8, record.windowLength);
    for (int i = 0; i < BeatRecord::ValueCount; ++i) putDouble(destination + 16 + 8 * i, record.values[i]);
    qToLittleEndian<qint32>(record.index, destination + kIndexOffset);

    for (int k = 0; k < std::min(channels, int(BeatRecord::kMaxLeads)); ++k) {
        const BeatRecord::Lead &lead = record.leads[k];
        char *at = destination + kHeaderSize + kLeadSize * k;
        const bool present = lead.hasValue(BeatRecord::LeadPresent) && lead.get(BeatRecord::LeadPresent) != 0.0;
        qToLittleEndian<qint32>(present ? 1 : 0, at + kPresentOffset);
        for (int i = 0; i < 5; ++i) putDouble(at + kTimesOffset + 8 * i, storedValue(lead, kTimes[i]));
        for (int i = 0; i < 3; ++i)
            qToLittleEndian<qint16>(static_cast<qint16>(storedValue(lead, kPolarities[i])),
                                    at + kPolaritiesOffset + 2 * i);
        for (int i = 0; i < 3; ++i) putDouble(at + kSpansOffset + 8 * i, storedValue(lead, kSpans[i]));
    }
}

BeatRecord fromBytes(const char *source, int channels) {
    BeatRecord record;
    record.valid = true;
    record.windowStart = getDouble(source + 0);
    record.windowLength = getDouble(source + 8);
    for (int i = 0; i < BeatRecord::ValueCount; ++i) record.values[i] = getDouble(source + 16 + 8 * i);
    record.index = qFromLittleEndian<qint32>(source + kIndexOffset);

    for (int k = 0; k < std::min(channels, int(BeatRecord::kMaxLeads)); ++k) {
        BeatRecord::Lead &lead = record.leads[k];
        const char *at = source + kHeaderSize + kLeadSize * k;
        lead.set(BeatRecord::LeadPresent, qFromLittleEndian<qint32>(at + kPresentOffset) != 0 ? 1.0 : 0.0);
        for (int i = 0; i < 5; ++i) {
            const double t = getDouble(at + kTimesOffset + 8 * i);
            if (t > 0.0) lead.set(kTimes[i], t);
        }
        for (int i = 0; i < 3; ++i) lead.set(kPolarities[i], qFromLittleEndian<qint16>(at + kPolaritiesOffset + 2 * i));
        for (int i = 0; i < 3; ++i) {
            const double span = getDouble(at + kSpansOffset + 8 * i);
            if (span > 0.0) lead.set(kSpans[i], span);
        }
    }
    return record;
}

}  // namespace BeatRecordCodec

// The flat beat record (offsets and bytes checked by hand), the store's ring
// and the RR averager's mean.
#include "analysis/BeatRecordCodec.h"
#include "analysis/BeatStore.h"
#include "analysis/RrAverager.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Little-endian decoding written out byte by byte, independent of the codec.
std::uint64_t le(const std::vector<char> &b, int offset, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[offset + i]);
    return v;
}

double leDouble(const std::vector<char> &b, int offset) {
    const std::uint64_t bits = le(b, offset, 8);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

BeatRecord sampleRecord() {
    BeatRecord r;
    r.index = 0x01020304;
    r.windowStart = 12.5;  // 0x4029000000000000
    r.windowLength = 0.75;
    r.values = {13.0, 0.8, 0.82, 0.5};
    BeatRecord::Lead &a = r.leads[0];
    a.set(BeatRecord::LeadPresent, 1.0);
    a.set(BeatRecord::PPeakTime, 12.84);
    a.set(BeatRecord::QPointTime, 12.96);
    a.set(BeatRecord::RPeakTime, 13.0);
    a.set(BeatRecord::SPointTime, 13.04);
    a.set(BeatRecord::TPeakTime, 13.32);
    a.set(BeatRecord::PPolarity, 1.0);
    a.set(BeatRecord::QrsPolarity, -1.0);
    a.set(BeatRecord::TPolarity, 0.0);
    a.set(BeatRecord::QrsSpan, 0.11);
    a.set(BeatRecord::PToQSpan, 0.1);
    a.set(BeatRecord::QToTSpan, 0.47);
    // Lead 1: not present, only an R peak and a QRS span.
    BeatRecord::Lead &b = r.leads[1];
    b.set(BeatRecord::LeadPresent, 0.0);
    b.set(BeatRecord::RPeakTime, 13.008);
    b.set(BeatRecord::QrsPolarity, 1.0);
    b.set(BeatRecord::PPolarity, 0.0);
    b.set(BeatRecord::TPolarity, 0.0);
    b.set(BeatRecord::QrsSpan, 0.08);
    return r;
}

TEST(BeatRecordCodec, WritesTheFlatLayoutByteForByte) {
    ASSERT_EQ(BeatRecordCodec::recordSize(2), 216);
    ASSERT_EQ(BeatRecordCodec::recordSize(14), 1176);
    std::vector<char> b(216, '\x55');
    BeatRecordCodec::toBytes(sampleRecord(), 2, b.data());

    // Raw bytes where the layout is easiest to get wrong.
    const unsigned char windowStart[8] = {0, 0, 0, 0, 0, 0, 0x29, 0x40};
    EXPECT_EQ(std::memcmp(b.data(), windowStart, 8), 0);
    const unsigned char index[8] = {0x04, 0x03, 0x02, 0x01, 0, 0, 0, 0};  // then 4 bytes of zero padding
    EXPECT_EQ(std::memcmp(b.data() + 48, index, 8), 0);
    const unsigned char lead0Head[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(b.data() + 56, lead0Head, 8), 0);
    // P +1, QRS -1, T 0, then 2 bytes of padding.
    const unsigned char polarities[8] = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::memcmp(b.data() + 56 + 48, polarities, 8), 0);

    struct Field {
        int offset;
        double value;
    };
    const Field fields[] = {
        {8, 0.75},
        {16, 13.0},
        {24, 0.8},
        {32, 0.82},
        {40, 0.5},
        {64, 12.84},
        {72, 12.96},
        {80, 13.0},
        {88, 13.04},
        {96, 13.32},
        {112, 0.11},
        {120, 0.1},
        {128, 0.47},
        // Lead 1 at 136: absent times and spans are written as 0.
        {144, 0.0},
        {152, 0.0},
        {160, 13.008},
        {168, 0.0},
        {176, 0.0},
        {192, 0.08},
        {200, 0.0},
        {208, 0.0},
    };
    for (const Field &f : fields) EXPECT_EQ(leDouble(b, f.offset), f.value) << "offset " << f.offset;
    EXPECT_EQ(le(b, 136, 4), 0u);       // lead 1 not present
    EXPECT_EQ(le(b, 136 + 4, 4), 0u);   // padding
    EXPECT_EQ(le(b, 136 + 48, 2), 0u);  // P polarity
    EXPECT_EQ(le(b, 136 + 50, 2), 1u);  // QRS polarity
    EXPECT_EQ(le(b, 136 + 54, 2), 0u);  // padding
}

TEST(BeatRecordCodec, ReadsBackWithNonPositiveTimesAndSpansAbsent) {
    BeatRecord original = sampleRecord();
    original.leads[0].set(BeatRecord::PPeakTime, -0.004);
    original.leads[0].set(BeatRecord::PToQSpan, 0.0);
    std::vector<char> bytes(BeatRecordCodec::recordSize(2));
    BeatRecordCodec::toBytes(original, 2, bytes.data());
    const BeatRecord r = BeatRecordCodec::fromBytes(bytes.data(), 2);

    BeatRecord expected = original;
    expected.valid = true;
    expected.leads[0].unset(BeatRecord::PPeakTime);
    expected.leads[0].unset(BeatRecord::PToQSpan);
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.index, expected.index);
    EXPECT_EQ(r.windowStart, expected.windowStart);
    EXPECT_EQ(r.windowLength, expected.windowLength);
    EXPECT_EQ(r.values, expected.values);
    // Leads beyond the record's channels stay empty.
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(r.leads[k].has, expected.leads[k].has) << k;
        EXPECT_EQ(r.leads[k].value, expected.leads[k].value) << k;
    }
}

TEST(BeatStore, KeepsTheLastTenThousandBeatsAndCountsPositionsOn) {
    BeatStore store(14);
    EXPECT_EQ(store.capacity(), 10000);
    EXPECT_EQ(store.recordSize(), 1176);
    BeatRecord r;
    r.leads[13].set(BeatRecord::RPeakTime, 1.0);
    for (int i = 0; i < 10003; ++i) {
        r.index = i;
        r.values[BeatRecord::FiducialTime] = 0.5 * i;
        ASSERT_EQ(store.append(r), i);
    }
    EXPECT_EQ(store.count(), 10003);
    EXPECT_EQ(store.firstHeld(), 3);

    struct Case {
        std::int64_t position;
        bool held;
    };
    const Case cases[] = {{-1, false},  {0, false},    {2, false},    {3, true},
                          {9999, true}, {10000, true}, {10002, true}, {10003, false}};
    for (const Case &c : cases) {
        BeatRecord out;
        out.index = -7;
        EXPECT_EQ(store.read(c.position, out), c.held) << c.position;
        if (c.held) {
            EXPECT_EQ(out.index, c.position);
            EXPECT_EQ(out.fiducialTime(), 0.5 * c.position);
            EXPECT_EQ(out.leads[13].get(BeatRecord::RPeakTime), 1.0);
        } else {
            EXPECT_EQ(out.index, -7) << "left untouched";
        }
    }
    store.clear();
    BeatRecord out;
    EXPECT_FALSE(store.read(3, out));
    EXPECT_EQ(store.append(r), 0);
}

TEST(RrAverager, ReturnsTheMeanOfPositiveEntriesHeldBeforeThePush) {
    RrAverager avg;
    struct Step {
        double push;
        double returned;
        int positive;  // after the push
    };
    const Step steps[] = {
        {0.8, 0.0, 1},
        {1.0, 0.8, 2},
        {0.0, 0.9, 2},
        {-0.5, 0.9, 2},
        {0.6, 0.9, 3},
        {0.8, 0.8, 4},
        {0.8, 0.8, 5},
        {0.8, 0.8, 6},
        // The ring is full: the ninth push overwrites the first (0.8).
        {2.0, 0.8, 6},
        {0.4, 1.0, 6},
        {1.0, 0.9, 7},
    };
    for (const Step &s : steps) {
        EXPECT_NEAR(avg.push(s.push), s.returned, 1e-12) << "push " << s.push;
        EXPECT_NEAR(avg.current(), s.returned, 1e-12);
        EXPECT_EQ(avg.positiveCount(), s.positive);
    }
    avg.clear();
    EXPECT_EQ(avg.current(), 0.0);
    EXPECT_EQ(avg.positiveCount(), 0);
    EXPECT_EQ(avg.push(0.7), 0.0);
}

}  // namespace

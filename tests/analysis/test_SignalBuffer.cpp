#include "analysis/SignalBuffer.h"

#include <QStringList>
#include <QtEndian>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct CountingListener : SignalListener {
    std::vector<std::int64_t> lengths;
    void samplesAppended(SignalSource &source) override { lengths.push_back(source.length()); }
};

// Appends `n` samples per channel where sample i of channel c is c * 1000 + i.
template <typename Buffer>
void appendRamp(Buffer &buffer, int n) {
    std::vector<std::vector<std::int16_t>> data(buffer.channelCount(), std::vector<std::int16_t>(n));
    std::vector<const std::int16_t *> rows;
    const auto start = buffer.length();
    for (int c = 0; c < buffer.channelCount(); ++c) {
        for (int k = 0; k < n; ++k) data[c][k] = static_cast<std::int16_t>(c * 1000 + start + k);
        rows.push_back(data[c].data());
    }
    buffer.append(n, rows.data());
}

}  // namespace

// A ring of 10 samples with blocks of 4, after 23 samples: indexes 13..22
// are held, 0..12 are gone, 23 and beyond do not exist yet.
TEST(SignalBuffer, OutOfRangeReadsAreZeroForEveryRead) {
    SignalBuffer ring(4, 10, 2, 500);
    appendRamp(ring, 23);
    ASSERT_EQ(ring.length(), 23);
    ASSERT_EQ(ring.blockCount(), 5);
    EXPECT_EQ(ring.firstHeld(), 13);

    struct Case {
        std::int64_t index;
        int expected;
    };
    for (const Case &c : std::vector<Case>{{-1, 0}, {0, 0}, {12, 0}, {13, 1013}, {22, 1022}, {23, 0}, {1000, 0}})
        EXPECT_EQ(ring.readSample(1, c.index), c.expected) << c.index;
    EXPECT_EQ(ring.readSample(2, 15), 0) << "unknown channel";

    std::vector<double> range(16, -7.0);
    ring.readRange(0, 10, 16, range.data());  // 10..25
    const std::vector<double> expected = {0, 0, 0, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 0, 0, 0};
    EXPECT_EQ(range, expected);

    std::vector<std::int16_t> block(4, -7);
    EXPECT_TRUE(ring.readBlock(1, 3, block.data()));  // 12..15: 12 is gone
    EXPECT_EQ(block, (std::vector<std::int16_t>{0, 1013, 1014, 1015}));
    EXPECT_TRUE(ring.readBlock(0, 0, block.data()));  // wholly gone: zeros
    EXPECT_EQ(block, (std::vector<std::int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(ring.getBlock(0, 5), nullptr) << "block 5 (20..23) is not complete";
    EXPECT_EQ(ring.getBlock(0, -1), nullptr);
    auto last = ring.getBlock(0, 4);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last[3], 19);
}

TEST(SignalBuffer, AppendFormsAgreeAndNotifyAfterStoring) {
    SignalBuffer a(8, 64, 3, 250), b(8, 64, 3, 250), c(8, 64, 3, 250);
    CountingListener la, lb;
    a.addListener(&la);
    b.addListener(&lb);

    appendRamp(a, 5);

    std::vector<char> frames(5 * 3 * 2);
    for (int k = 0; k < 5; ++k)
        for (int ch = 0; ch < 3; ++ch)
            qToLittleEndian<qint16>(static_cast<qint16>(ch * 1000 + k), frames.data() + 2 * (k * 3 + ch));
    b.appendInterleaved16(frames.data(), static_cast<int>(frames.size()) + 3);  // a partial frame is ignored

    std::vector<std::vector<double>> d(3, std::vector<double>(5));
    std::vector<const double *> rows;
    for (int ch = 0; ch < 3; ++ch) {
        for (int k = 0; k < 5; ++k) d[ch][k] = ch * 1000 + k + (ch == 1 ? 0.9 : 0.0);
        rows.push_back(d[ch].data());
    }
    c.append(5, rows.data());

    for (int ch = 0; ch < 3; ++ch)
        for (int k = 0; k < 5; ++k) {
            EXPECT_EQ(a.readSample(ch, k), ch * 1000 + k);
            EXPECT_EQ(b.readSample(ch, k), ch * 1000 + k);
            EXPECT_EQ(c.readSample(ch, k), ch * 1000 + k) << "doubles are truncated";
        }
    EXPECT_EQ(la.lengths, (std::vector<std::int64_t>{5}));
    EXPECT_EQ(lb.lengths, (std::vector<std::int64_t>{5}));
}

TEST(SignalBuffer, DoublesAreTruncatedTowardZeroAndSaturated) {
    struct Case {
        double in;
        int out;
    };
    const std::vector<Case> cases = {{2.9, 2},           {-2.9, -2},     {32767.9, 32767}, {40000.0, 32767},
                                     {-32768.5, -32768}, {-1e9, -32768}, {0.0, 0}};
    SignalBuffer buffer(4, 16, 1, 500);
    for (const Case &c : cases) {
        const double *row = &c.in;
        buffer.append(1, &row);
        EXPECT_EQ(buffer.readSample(0, buffer.length() - 1), c.out) << c.in;
    }
}

TEST(DoubleSignalBuffer, KeepsFractionsAndBehavesLikeTheRing) {
    DoubleSignalBuffer ring(4, 10, 1, 250);
    EXPECT_EQ(ring.resolutionBits(), 64);
    std::vector<double> values(23);
    for (int i = 0; i < 23; ++i) values[i] = i + 0.25;
    const double *row = values.data();
    ring.append(23, &row);
    EXPECT_DOUBLE_EQ(ring.readValue(0, 22), 22.25);
    EXPECT_EQ(ring.readSample(0, 22), 22);
    EXPECT_EQ(ring.readSample(0, 12), 0);
    std::vector<double> range(3);
    ring.readRange(0, 12, 3, range.data());
    EXPECT_EQ(range, (std::vector<double>{0.0, 13.25, 14.25}));
}

TEST(SignalBuffer, ListenersMayUnsubscribeWhileBeingTold) {
    SignalBuffer buffer(4, 16, 1, 500);
    struct SelfRemoving : SignalListener {
        int calls = 0;
        void samplesAppended(SignalSource &s) override {
            ++calls;
            s.removeListener(this);
        }
    } once;
    CountingListener always;
    buffer.addListener(&once);
    buffer.addListener(&always);
    buffer.addListener(&always);  // subscribing twice is one subscription
    appendRamp(buffer, 1);
    appendRamp(buffer, 1);
    EXPECT_EQ(once.calls, 1);
    EXPECT_EQ(always.lengths, (std::vector<std::int64_t>{1, 2}));
}

TEST(SignalSource, MetadataAndUnitValue) {
    SignalBuffer buffer(4096, 81920, 14, 500);
    buffer.setAmplitudeRange(-300.0, 300.0);
    EXPECT_DOUBLE_EQ(buffer.unitValue(), 600.0 / 65536.0);
    buffer.setChannelNames(QStringList{"I", "II"});
    EXPECT_EQ(buffer.channel(1).name(), "II");
    EXPECT_EQ(buffer.channel(1).index(), 1);
    EXPECT_EQ(buffer.channel(1).source(), &buffer);
    EXPECT_EQ(buffer.channelName(99), QString());
}

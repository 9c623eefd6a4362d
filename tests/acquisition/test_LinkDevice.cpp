// The device links end to end over a pseudo-terminal: the test plays the
// front end on the master side, the real link opens the slave side and its
// reader thread decodes what arrives.

#include "LinkTestSupport.h"
#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/SerialPort.h"
#include "analysis/ChannelTable.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QByteArray kStartCommands("\x01\x01\x09", 3);
const QByteArray kStopCommands("\x02\x02", 2);

// A started link whose start commands the front end has received.
template <typename Device>
struct Linked {
    PtyDeviceEnd pty;
    LoggingSleeper sleeper;
    std::unique_ptr<Device> device;
    QByteArray started;

    template <typename... Args>
    explicit Linked(Args... args) {
        device = std::make_unique<Device>(pty.slavePath(), args..., &sleeper);
        device->start();
        started = pty.readSent(3);
    }
    bool send(const QByteArray &bytes) { return pty.write(bytes); }
};

using StandardLink = Linked<LinkDevice>;
using HrLink = Linked<HrLinkDevice>;

}  // namespace

TEST(LinkDevice, SamplesArriveBitExactInMaskOrderAndStartStopCommandsAreSent) {
    for (std::uint32_t mask : {0xFFFFFFFFu, 0x482u}) {
        SCOPED_TRACE(mask);
        StandardLink link(LinkDevice::kBaudRate, static_cast<std::int32_t>(mask));
        ASSERT_EQ(link.started, kStartCommands);
        EXPECT_EQ(link.sleeper.log(), std::vector<int>{100}) << "100 ms between the two start commands";

        std::vector<int> expected;
        QByteArray stream;
        for (int p = 0; p < 30; ++p) {
            FrontEnd f;
            for (int c = 0; c < 14; ++c)
                f.lead[static_cast<std::size_t>(c)] = static_cast<std::int16_t>((p * 2711 + c * 4099) % 60001 - 30000);
            f.battery = 190;
            stream += standardPacket(f);
            const auto m = masked(expectedChannels(f), mask);
            expected.insert(expected.end(), m.begin(), m.end());
        }
        ASSERT_TRUE(link.send(stream));
        EXPECT_EQ(takeFrames(*link.device, 30), expected);
        EXPECT_TRUE(link.device->isOk());
        EXPECT_EQ(link.device->errorString(), QString());

        link.device->stop();
        EXPECT_EQ(link.pty.readSent(2), kStopCommands);
        EXPECT_EQ(link.sleeper.log(), (std::vector<int>{100, 100})) << "100 ms between the two stop commands";
    }
}

// Bytes waiting when the link starts are the tail of an earlier session:
// the discard before the second start command drops them.
TEST(LinkDevice, BytesSentBeforeTheSecondStartAreDiscarded) {
    PtyDeviceEnd pty;
    LinkDevice device(pty.slavePath(), LinkDevice::kBaudRate, -1);
    device.start();
    ASSERT_EQ(pty.readSent(1), QByteArray("\x01", 1));
    ASSERT_TRUE(pty.write(standardPacket(numbered(9))));  // within the 100 ms pause
    ASSERT_EQ(pty.readSent(2), QByteArray("\x01\x09", 2));
    ASSERT_TRUE(pty.write(standardPacket(numbered(1))));
    const auto got = takeFrames(device, 1);
    ASSERT_EQ(got.size(), 14u);
    EXPECT_EQ(got[I], 16) << "the stale packet was delivered";
    QThread::msleep(50);
    EXPECT_EQ(device.bytesAvailable(), 0);
    device.stop();
}

TEST(LinkDevice, StreamJoinedMidPacketOrHitByGarbageLosesOnlyDamagedPackets) {
    StandardLink link(LinkDevice::kBaudRate, -1);
    ASSERT_EQ(link.started, kStartCommands);
    QByteArray stream = standardPacket(numbered(1)).mid(23);  // joined mid-packet
    for (int id = 2; id <= 6; ++id) stream += standardPacket(numbered(id));
    stream += QByteArray("\xC0\x01\x02\xC0\x01", 5);  // garbage
    QByteArray damaged = standardPacket(numbered(7));
    damaged[24] = '\x13';  // block 3 marker hit
    stream += damaged + standardPacket(numbered(8));
    ASSERT_TRUE(link.send(stream));

    const auto got = takeFrames(*link.device, 6);
    std::vector<int> ids;
    for (std::size_t f = 0; f + 14 <= got.size(); f += 14) ids.push_back(got[f + I] / 16);
    EXPECT_EQ(ids, (std::vector<int>{2, 3, 4, 5, 6, 8}));
    QThread::msleep(50);
    EXPECT_EQ(link.device->bytesAvailable(), 0) << "a broken packet was delivered";
}

// Every byte that is not part of a delivered packet is counted as
// discarded, and each run of them between two good packets as one
// resynchronisation.
TEST(LinkDevice, ResynchronisationsAndDiscardedBytesAreCounted) {
    {
        SCOPED_TRACE("standard link");
        StandardLink link(LinkDevice::kBaudRate, -1);
        ASSERT_EQ(link.started, kStartCommands);
        QByteArray stream = standardPacket(numbered(1)).mid(23);  // joined mid-packet: run 1
        for (int id = 2; id <= 4; ++id) stream += standardPacket(numbered(id));
        QByteArray damaged = standardPacket(numbered(5));
        damaged[12] = '\x07';                               // block 2 marker hit: run 2
        stream += damaged + QByteArray("\x01\xC0\x55", 3);  // and garbage that looks like a start
        for (int id = 6; id <= 7; ++id) stream += standardPacket(numbered(id));
        ASSERT_TRUE(link.send(stream));
        ASSERT_EQ(takeFrames(*link.device, 5).size(), 5u * 14u);
        const LinkStatistics::Counts c = link.device->linkCounts();
        EXPECT_EQ(c.packets, 5);
        EXPECT_EQ(c.resynchronisations, 2);
        EXPECT_EQ(c.discardedBytes, stream.size() - 5 * 40);
        EXPECT_LT(c.longestGapMs, 2000);
    }
    {
        SCOPED_TRACE("HR link");
        HrLink link(HrLinkDevice::kBaudRate);
        ASSERT_EQ(link.started, kStartCommands);
        QByteArray stream = hrPacket(numbered(1)).mid(10);  // run 1
        for (int id = 2; id <= 5; ++id) stream += hrPacket(numbered(id));
        stream += QByteArray("\x11\x22\x33", 3);  // run 2
        for (int id = 6; id <= 9; ++id) stream += hrPacket(numbered(id));
        ASSERT_TRUE(link.send(stream));
        ASSERT_EQ(takeFrames(*link.device, 4).size(), 4u * 14u);  // 8 packets in pairs
        const LinkStatistics::Counts c = link.device->linkCounts();
        EXPECT_EQ(c.packets, 8);
        EXPECT_EQ(c.resynchronisations, 2);
        EXPECT_EQ(c.discardedBytes, stream.size() - 8 * 34);
    }
}

// Saturation is counted per channel-table index, whatever the mask: with
// the tilt mask V2 is the second delivered channel but still index 7.
TEST(LinkDevice, TwoHundredFiftyOutOfRangeSamplesSaturateOneInRangeClears) {
    StandardLink link(LinkDevice::kBaudRate, ChannelTable::kTiltTestMask);
    ASSERT_EQ(link.started, kStartCommands);
    FrontEnd high = numbered(2);
    high.lead[V2] = 32001;
    const auto sendHigh = [&](int n) {
        QByteArray s;
        for (int i = 0; i < n; ++i) s += standardPacket(high);
        ASSERT_TRUE(link.send(s));
        ASSERT_EQ(takeFrames(*link.device, n).size(), static_cast<std::size_t>(3 * n));
    };
    sendHigh(249);
    EXPECT_FALSE(link.device->channelSaturated(V2)) << "249 in a row is not yet saturation";
    sendHigh(1);
    EXPECT_TRUE(link.device->channelSaturated(V2));
    for (int c : {-1, int(I), int(II), 1, int(V5), 14, 99}) EXPECT_FALSE(link.device->channelSaturated(c)) << c;

    FrontEnd edge = high;
    edge.lead[V2] = 32000;  // in range
    ASSERT_TRUE(link.send(standardPacket(edge)));
    ASSERT_EQ(takeFrames(*link.device, 1).size(), 3u);
    EXPECT_FALSE(link.device->channelSaturated(V2));

    FrontEnd low = numbered(2);
    low.lead[V2] = -32001;
    QByteArray s;
    for (int i = 0; i < 250; ++i) s += standardPacket(low);
    ASSERT_TRUE(link.send(s));
    ASSERT_EQ(takeFrames(*link.device, 250).size(), 750u);
    EXPECT_TRUE(link.device->channelSaturated(V2)) << "below -32000 counts too";
}

TEST(LinkDevice, ElectrodeOffZeroesItsLeadsAndBatteryIsReported) {
    StandardLink link(LinkDevice::kBaudRate, -1);
    ASSERT_EQ(link.started, kStartCommands);
    EXPECT_FALSE(link.device->electrodeOff("LA")) << "nothing is known before the first packet";
    EXPECT_EQ(link.device->batteryVoltage(), 0.0);

    FrontEnd f = numbered(5);
    f.s0[0] = 0x20;  // LA off
    f.s0[1] = 0x20;  // V2 off
    f.battery = 200;
    ASSERT_TRUE(link.send(standardPacket(f)));
    const auto got = takeFrames(*link.device, 1);
    ASSERT_EQ(got.size(), 14u);
    const auto all = expectedChannels(f);
    for (int c = 0; c < 14; ++c) {
        const bool zero = c == I || c == III || c == aVR || c == aVL || c == aVF || c == V2;
        EXPECT_EQ(got[static_cast<std::size_t>(c)], zero ? 0 : all[static_cast<std::size_t>(c)]) << c;
    }
    EXPECT_TRUE(link.device->electrodeOff("LA"));
    EXPECT_TRUE(link.device->electrodeOff("V2"));
    for (const char *name : {"LL", "RA", "V1", "V3", "V4", "V5", "V6", "CM5", "la", "XX"})
        EXPECT_FALSE(link.device->electrodeOff(name)) << name;
    EXPECT_NEAR(link.device->batteryVoltage(), 2.6, 1e-9);

    ASSERT_TRUE(link.send(standardPacket(numbered(5))));  // back on
    ASSERT_EQ(takeFrames(*link.device, 1).size(), 14u);
    EXPECT_FALSE(link.device->electrodeOff("LA"));
}

TEST(LinkDevice, DerivedLeadsClampOverTheLink) {
    StandardLink link(LinkDevice::kBaudRate, -1);
    ASSERT_EQ(link.started, kStartCommands);
    FrontEnd a = numbered(1), b = numbered(1);
    a.lead[I] = a.lead[II] = 30000;
    b.lead[I] = b.lead[II] = -32768;
    ASSERT_TRUE(link.send(standardPacket(a) + standardPacket(b)));
    const auto got = takeFrames(*link.device, 2);
    ASSERT_EQ(got.size(), 28u);
    EXPECT_EQ(got[aVR], -30000);
    EXPECT_EQ(got[14 + aVR], 32767);
}

TEST(HrLinkDevice, PairsAreAveragedAllChannelsNoZeroingNoSaturation) {
    HrLink link(HrLinkDevice::kBaudRate);
    ASSERT_EQ(link.started, kStartCommands);
    std::vector<FrontEnd> sent(4, numbered(3));
    sent[0].lead[I] = 101;
    sent[1].lead[I] = 102;
    sent[2].lead[I] = -1;
    sent[3].lead[I] = -2;
    sent[0].lead[V2] = sent[1].lead[V2] = 32767;
    sent[2].lead[V3] = -32768;
    sent[3].lead[V3] = -32767;
    sent[3].s0[0] = 0x20;  // LA off: the HR link reports it but zeroes nothing
    sent[3].battery = 200;
    QByteArray s;
    for (const FrontEnd &f : sent) s += hrPacket(f);
    ASSERT_TRUE(link.send(s));
    const auto got = takeFrames(*link.device, 2);
    ASSERT_EQ(got.size(), 28u);
    for (int frame = 0; frame < 2; ++frame) {
        const auto a = expectedChannels(sent[2 * frame]), b = expectedChannels(sent[2 * frame + 1]);
        for (int c = 0; c < 14; ++c) {
            const int want = static_cast<int>(std::floor((a[c] + b[c]) / 2.0));
            EXPECT_EQ(got[static_cast<std::size_t>(14 * frame + c)], want) << frame << "," << c;
        }
    }
    EXPECT_EQ(got[I], 101);
    EXPECT_EQ(got[14 + I], -2);
    EXPECT_EQ(got[14 + V3], -32768);
    EXPECT_TRUE(link.device->electrodeOff("LA"));
    EXPECT_NEAR(link.device->batteryVoltage(), 2.6, 1e-9);
    EXPECT_FALSE(link.device->channelSaturated(V2));
    EXPECT_EQ(link.device->channelCount(), 14);

    ASSERT_TRUE(link.send(hrPacket(sent[0])));
    QThread::msleep(100);
    EXPECT_EQ(link.device->bytesAvailable(), 0) << "a lone packet waits for its partner";
}

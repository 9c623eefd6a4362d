// Packet decoding and stream synchronisation of the device links, checked
// against packets encoded independently from the byte layout.

#include "LinkTestSupport.h"
#include "acquisition/LinkPacket.h"
#include "acquisition/LinkSynchronizer.h"

#include <gtest/gtest.h>

using LinkPacket::Layout;

namespace {

LinkPacket::Decoded decodeBytes(Layout layout, const QByteArray &p) {
    return LinkPacket::decode(layout, reinterpret_cast<const std::uint8_t *>(p.constData()));
}

// Ids of the packets the synchroniser hands out for a byte stream; a
// packet's id is recovered from its lead I word (numbered()).
std::vector<int> packetIds(Layout layout, const QByteArray &stream) {
    LinkSynchronizer sync(layout);
    std::vector<int> ids;
    for (char c : stream) {
        if (!sync.push(static_cast<std::uint8_t>(c))) continue;
        const auto d = LinkPacket::decode(layout, sync.packet());
        ids.push_back(d.samples[I] / 16);
    }
    return ids;
}

QByteArray packets(Layout layout, std::initializer_list<int> ids) {
    QByteArray s;
    for (int id : ids) s += layout == Layout::Standard ? standardPacket(numbered(id)) : hrPacket(numbered(id));
    return s;
}

}  // namespace

TEST(LinkPacket, BothLayoutsPlaceEveryWordStatusAndBatteryByte) {
    FrontEnd f;
    const std::int16_t values[14] = {0x1234, -2, 300, 0, 0, 0, -32768, 32767, 7, -7, 0x7F01, 0x0180, -300, 1};
    for (int c = 0; c < 14; ++c) f.lead[static_cast<std::size_t>(c)] = values[c];
    f.battery = 200;
    for (Layout layout : {Layout::Standard, Layout::Hr}) {
        SCOPED_TRACE(layout == Layout::Standard ? "standard" : "HR");
        const QByteArray p = layout == Layout::Standard ? standardPacket(f) : hrPacket(f);
        ASSERT_EQ(p.size(), LinkPacket::packetBytes(layout));
        const auto d = decodeBytes(layout, p);
        const auto want = expectedChannels(f);
        for (int c = 0; c < 14; ++c)
            EXPECT_EQ(d.samples[static_cast<std::size_t>(c)], want[static_cast<std::size_t>(c)]) << c;
        EXPECT_NEAR(d.batteryVolts(), 2.6, 1e-9);
    }
}

TEST(LinkPacket, DerivedLeadsTruncateTowardZeroAndClamp) {
    struct Case {
        int i, ii, iii;
        int avr, avl, avf;
    };
    const Case cases[] = {
        {30000, 30000, 0, -30000, 15000, 15000},
        {-32768, -32768, 0, 32767, -16384, -16384},  // -(-65536)/2 = 32768 clamps
        {3, 0, 0, -1, 1, 0},                         // -1.5 -> -1, 1.5 -> 1
        {-3, 0, 0, 1, -1, 0},
        {32767, 32767, -32768, -32767, 32767, 0},  // 65535/2 -> 32767; -0.5 -> 0
        {-32768, 0, 32767, 16384, -32767, 16383},
        {5, -5, 5, 0, 0, 0},
    };
    for (const Case &c : cases) {
        LinkPacket::Samples s{};
        s[I] = static_cast<std::int16_t>(c.i);
        s[II] = static_cast<std::int16_t>(c.ii);
        s[III] = static_cast<std::int16_t>(c.iii);
        LinkPacket::deriveLeads(s);
        EXPECT_EQ(s[aVR], c.avr) << c.i << "," << c.ii << "," << c.iii;
        EXPECT_EQ(s[aVL], c.avl) << c.i << "," << c.ii << "," << c.iii;
        EXPECT_EQ(s[aVF], c.avf) << c.i << "," << c.ii << "," << c.iii;
    }
}

TEST(LinkPacket, HrPairAveragesRoundTowardMinusInfinity) {
    const int cases[][3] = {
        {101, 102, 101},          {-1, -2, -2},       {-1, -1, -1}, {-3, 0, -2}, {1, 2, 1}, {32767, 32767, 32767},
        {-32768, -32768, -32768}, {-32768, 32767, -1}};
    for (const auto &c : cases)
        EXPECT_EQ(LinkPacket::averagePair(static_cast<std::int16_t>(c[0]), static_cast<std::int16_t>(c[1])), c[2])
            << c[0] << "," << c[1];
}

// Each status bit (block, byte, mask) turns exactly its electrode off, and
// with the standard link's zeroing exactly the leads measured through it.
TEST(LinkPacket, ElectrodeFlagsAndTheLeadsTheyZero) {
    struct Case {
        int block;
        bool s1;
        std::uint8_t bits;
        const char *electrode;
        std::vector<int> zeroed;
    };
    const std::vector<Case> cases = {
        {0, false, 0x20, "LA", {I, III, aVR, aVL, aVF}},
        {0, false, 0x40, "LL", {II, III, aVR, aVL, aVF}},
        {0, false, 0x80, "LL", {II, III, aVR, aVL, aVF}},
        {0, true, 0x20, "RA", {I, II, aVR, aVL, aVF}},
        {0, true, 0x40, "RA", {I, II, aVR, aVL, aVF}},
        {0, false, 0x10, "V5", {V5}},
        {1, false, 0x10, "V1", {V1}},
        {1, false, 0x20, "V2", {V2}},
        {1, false, 0x40, "V3", {V3}},
        {1, false, 0x80, "V4", {V4}},
        {2, false, 0x10, "V6", {V6}},
        {0, false, 0x0F, nullptr, {}},  // bits not listed are ignored
        {0, true, 0x9F, nullptr, {}},
        {1, true, 0xF0, nullptr, {}},
        {2, false, 0xE0, nullptr, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "block " << c.block + 1 << (c.s1 ? " S1 " : " S0 ") << int(c.bits));
        FrontEnd f = numbered(40);
        (c.s1 ? f.s1 : f.s0)[static_cast<std::size_t>(c.block)] = c.bits;
        auto d = decodeBytes(Layout::Standard, standardPacket(f));
        for (int e = 0; e < LinkPacket::kElectrodeCount; ++e)
            EXPECT_EQ(d.electrodeOff[static_cast<std::size_t>(e)],
                      c.electrode && LinkPacket::electrodeName(e) == c.electrode)
                << LinkPacket::electrodeName(e).toStdString();
        const auto before = d.samples;
        LinkPacket::zeroLeadsOfOffElectrodes(d.samples, d.electrodeOff);
        for (int ch = 0; ch < 14; ++ch) {
            const bool zero = std::find(c.zeroed.begin(), c.zeroed.end(), ch) != c.zeroed.end();
            EXPECT_EQ(d.samples[static_cast<std::size_t>(ch)], zero ? 0 : before[static_cast<std::size_t>(ch)]) << ch;
        }
    }
}

// Whatever precedes or interrupts the packets, only whole, correctly framed
// packets come out, and damage costs no more than the damaged packet.
TEST(LinkSynchronizer, DeliversOnlyWholePacketsWhateverTheStream) {
    struct Case {
        const char *what;
        QByteArray (*stream)(Layout);
        std::vector<int> ids;
    };
    const std::vector<Case> cases = {
        {"clean",
         [](Layout l) {
             return packets(l, {1, 2, 3});
         },
         {1, 2, 3}},
        {"joined mid-packet",
         [](Layout l) {
             return packets(l, {1, 2, 3}).mid(17);
         },
         {2, 3}},
        {"joined one byte in",
         [](Layout l) {
             return packets(l, {1, 2}).mid(1);
         },
         {2}},
        {"garbage between packets",
         [](Layout l) {
             return packets(l, {1}) + QByteArray("\x01\x55\xC0\x02\xC0\x77", 6) + packets(l, {2, 3});
         },
         {1, 2, 3}},
        {"garbage ending in a start marker",
         [](Layout l) { return packets(l, {1}) + QByteArray("\x33\x01\xC0\x01", 4) + packets(l, {2}); },
         {1, 2}},
        {"corrupted marker costs that packet only",
         [](Layout l) {
             QByteArray s = packets(l, {1, 2, 3});
             const int at = LinkPacket::packetBytes(l) + (l == Layout::Standard ? 12 : 11);
             s[at] = '\x44';
             return s;
         },
         {1, 3}},
        {"bytes lost inside a packet",
         [](Layout l) {
             QByteArray s = packets(l, {1, 2, 3, 4});
             s.remove(LinkPacket::packetBytes(l) + 5, 3);
             return s;
         },
         {1, 3, 4}},
        {"truncated last packet",
         [](Layout l) {
             return packets(l, {1, 2}).chopped(1);
         },
         {1}},
    };
    for (Layout layout : {Layout::Standard, Layout::Hr}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(::testing::Message() << (layout == Layout::Standard ? "standard: " : "HR: ") << c.what);
            EXPECT_EQ(packetIds(layout, c.stream(layout)), c.ids);
        }
    }
}

#include "tools/sim/DeviceSimPacketWriter.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <initializer_list>

namespace {

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray result;
    for (int value : values) result.append(static_cast<char>(value));
    return result;
}

// Every lead distinct, with negative and near-limit values so a byte-order
// or sign slip shows. The derived leads must never reach the wire.
DeviceFrame knownFrame() {
    return DeviceFrame{0x0102, -2, 32700, 999, 999, 999, 0x1112, 0x2122, -256, 0x4142, 0x5152, 0x6162, -1, 0x7172};
}

TEST(DeviceSimPacketWriter, StandardPacketIsByteExact) {
    const DeviceSimPacketWriter writer(DeviceLinkKind::Standard, 200, {"LA", "V3"});
    const QByteArray expected =
        bytes({0x01, 0xC0, 0x20, 0x00, 0x51, 0x52, 0x01, 0x02, 0xFF, 0xFE, 0x7F, 0xBC,  // V5 I II III
               0x02, 0xC0, 0x40, 0x00, 0x11, 0x12, 0x21, 0x22, 0xFF, 0x00, 0x41, 0x42,  // V1 V2 V3 V4
               0x03, 0xC0, 0x00, 0x00, 0x61, 0x62, 0xFF, 0xFF, 0x71, 0x72, 0x00, 0x00,  // V6 CM5 CR5 -
               0xC8, 0x00, 0x00, 0x00});
    EXPECT_EQ(writer.packet(knownFrame()).toHex().toStdString(), expected.toHex().toStdString());
}

TEST(DeviceSimPacketWriter, HighRatePacketIsByteExact) {
    const DeviceSimPacketWriter writer(DeviceLinkKind::HighRate, 231, {"V6"});
    const QByteArray expected =
        bytes({0xC0, 0x00, 0x00, 0x51, 0x52, 0x01, 0x02, 0xFF, 0xFE, 0x7F, 0xBC, 0xC0, 0x00, 0x00, 0x11, 0x12, 0x21,
               0x22, 0xFF, 0x00, 0x41, 0x42, 0xC0, 0x10, 0x00, 0x61, 0x62, 0xFF, 0xFF, 0x71, 0x72, 0x00, 0x00, 0xE7});
    EXPECT_EQ(writer.packet(knownFrame()).toHex().toStdString(), expected.toHex().toStdString());
}

TEST(DeviceSimPacketWriter, EachElectrodeSetsOnlyItsStatusBits) {
    struct Case {
        const char *electrode;
        int block;
        int statusByte;
        int bits;
    };
    const Case cases[] = {
        {"LA", 1, 0, 0x20}, {"LL", 1, 0, 0xC0}, {"RA", 1, 1, 0x60}, {"V5", 1, 0, 0x10}, {"V1", 2, 0, 0x10},
        {"V2", 2, 0, 0x20}, {"V3", 2, 0, 0x40}, {"V4", 2, 0, 0x80}, {"V6", 3, 0, 0x10},
    };
    for (const DeviceLinkKind link : {DeviceLinkKind::Standard, DeviceLinkKind::HighRate}) {
        // Status bytes S0 and S1 open each block, right after its markers.
        const int blockStart = link == DeviceLinkKind::Standard ? 2 : 1;
        const int blockStride = link == DeviceLinkKind::Standard ? 12 : 11;
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.electrode) + (link == DeviceLinkKind::Standard ? " standard" : " HR"));
            const QByteArray packet = DeviceSimPacketWriter(link, 0, {c.electrode}).packet(DeviceFrame{});
            for (int block = 1; block <= 3; ++block)
                for (int status = 0; status < 2; ++status) {
                    const int offset = blockStart + (block - 1) * blockStride + status;
                    const int wanted = block == c.block && status == c.statusByte ? c.bits : 0;
                    EXPECT_EQ(static_cast<unsigned char>(packet[offset]), wanted)
                        << "block " << block << " S" << status;
                }
        }
    }
}

TEST(DeviceSimPacketWriter, BatteryVoltsBecomeUnitsOf13Millivolts) {
    struct Case {
        double volts;
        int byte;
    };
    const Case cases[] = {{2.6, 200},  {0.0, 0},     {2.3, 177}, {0.0064, 0},
                          {0.0066, 1}, {3.315, 255}, {3.33, -1}, {-0.1, -1}};
    for (const Case &c : cases) EXPECT_EQ(DeviceSimPacketWriter::batteryByte(c.volts), c.byte) << c.volts << " V";
}

}  // namespace

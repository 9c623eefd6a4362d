// The driver factory's device paths: which link, on which port, with which
// parameters, for each acquisition setting.

#include "LinkTestSupport.h"
#include "acquisition/AcqDeviceFactory.h"
#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/SerialPortCatalog.h"
#include "analysis/ChannelTable.h"

#include <gtest/gtest.h>

namespace {
class FakeCatalog : public SerialPortCatalog {
public:
    explicit FakeCatalog(QList<SerialPortEntry> entries) : entries_(std::move(entries)) {}
    QList<SerialPortEntry> ports() const override { return entries_; }

private:
    QList<SerialPortEntry> entries_;
};
}  // namespace

TEST(LinkFactory, SettingsChooseLinkPortRateChannelsAndRange) {
    const FakeCatalog usb({{QStringLiteral("/dev/tarvelin-usb"), QStringLiteral("TARVELIN_ECG"), 0, 0, false}});
    struct Case {
        const char *mode;
        bool hr;
        bool tilt;
        double gain;
        bool expectHr;
        const char *port;
        int baud;
        QStringList channels;  // empty: all 14
        double range;
    };
    const QStringList tilt{"II", "V2", "V5"};
    const std::vector<Case> cases = {
        {"bluetooth-com", false, false, 0, false, "rfcomm0", 230400, {}, 450},
        {"bluetooth-com", false, true, 0, false, "rfcomm0", 230400, tilt, 450},
        {"bluetooth-com", true, true, 0, true, "rfcomm0", 570000, {}, 300},
        {"bluetooth-com", false, false, 200, false, "rfcomm0", 230400, {}, 200},
        {"bluetooth-com", true, false, 200, true, "rfcomm0", 570000, {}, 200},
        {"bluetooth-com", false, false, -5, false, "rfcomm0", 230400, {}, 450},
        {"", false, true, 0, false, "/dev/tarvelin-usb", 230400, tilt, 450},
        {"usb", true, false, 120, true, "/dev/tarvelin-usb", 570000, {}, 120},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.mode << " hr=" << c.hr << " tilt=" << c.tilt << " gain=" << c.gain);
        AcqSettings s;
        s.mode = QString::fromLatin1(c.mode);
        s.bluetoothPort = QStringLiteral("rfcomm0");
        s.hrProtocol = c.hr;
        s.signalGain = c.gain;
        const auto device = AcqDeviceFactory::createDevice(s, c.tilt, {}, &usb);
        auto *link = dynamic_cast<SerialLinkDevice *>(device.get());
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(dynamic_cast<HrLinkDevice *>(link) != nullptr, c.expectHr);
        EXPECT_EQ(link->portName(), QString::fromLatin1(c.port));
        EXPECT_EQ(link->baudRate(), c.baud);
        const QStringList names = c.channels.isEmpty() ? ChannelTable::maskedNames(-1) : c.channels;
        ASSERT_EQ(link->channelCount(), names.size());
        for (int i = 0; i < names.size(); ++i) EXPECT_EQ(link->channelName(i), names[i]);
        EXPECT_EQ(link->frameBytes(), 2 * names.size());
        EXPECT_EQ(link->samplingRate(), 500);
        EXPECT_EQ(link->resolutionBits(), 16);
        EXPECT_EQ(link->amplitudeMin(), -c.range);
        EXPECT_EQ(link->amplitudeMax(), c.range);
        EXPECT_TRUE(link->isOk()) << "not started yet";
    }
}

TEST(LinkFactory, NoDetectedDeviceIsDeviceNotFound) {
    const FakeCatalog nothing({{QStringLiteral("ttyS0"), QStringLiteral("16550A"), 0, 0, false}});
    for (bool hr : {false, true}) {
        AcqSettings s;
        s.hrProtocol = hr;
        try {
            AcqDeviceFactory::createDevice(s, false, {}, &nothing);
            ADD_FAILURE() << "no exception, hr=" << hr;
        } catch (const std::runtime_error &e) {
            EXPECT_STREQ(e.what(), "Device not found");
        }
    }
}

// A factory-made Bluetooth link streams from the port it was given.
TEST(LinkFactory, BluetoothLinkStreamsFromTheConfiguredPort) {
    PtyDeviceEnd pty;
    AcqSettings s;
    s.mode = AcqDeviceFactory::kBluetoothMode;
    s.bluetoothPort = pty.slavePath();
    const auto device = AcqDeviceFactory::createDevice(s, true, {});
    device->start();
    ASSERT_EQ(pty.readSent(3), QByteArray("\x01\x01\x09", 3));
    ASSERT_TRUE(pty.write(standardPacket(numbered(4))));
    EXPECT_EQ(takeFrames(*device, 1), (std::vector<int>{4 * 16 + II, 4 * 16 + V2, 4 * 16 + V5}));
    device->stop();
}

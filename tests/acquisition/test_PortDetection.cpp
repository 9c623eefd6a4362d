// Finding the front end: USB detection over made-up port lists, Bluetooth
// detection over pseudo-terminals that answer (or not) the identify command.

#include "LinkTestSupport.h"
#include "acquisition/HrLinkDevice.h"
#include "acquisition/LinkDevice.h"
#include "acquisition/PortDetection.h"
#include "acquisition/SerialPortCatalog.h"
#include "analysis/ChannelTable.h"

#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

class FakeCatalog : public SerialPortCatalog {
public:
    explicit FakeCatalog(QList<SerialPortEntry> entries) : entries_(std::move(entries)) {}
    QList<SerialPortEntry> ports() const override { return entries_; }

private:
    QList<SerialPortEntry> entries_;
};

SerialPortEntry described(const char *name, const char *description) {
    return {QString::fromLatin1(name), QString::fromLatin1(description), 0, 0, false};
}

SerialPortEntry usbIds(const char *name, std::uint16_t vendor, std::uint16_t product, bool hasIds = true) {
    return {QString::fromLatin1(name), QStringLiteral("USB Serial"), vendor, product, hasIds};
}

// Plays a front end (or another serial device) that answers one identify
// command on its pseudo-terminal; records what it was sent.
struct Answerer {
    PtyDeviceEnd pty;
    QByteArray reply;
    QByteArray received;
    std::thread thread;

    int listenMs;

    explicit Answerer(QByteArray answer, int listenFor = 4000) : reply(std::move(answer)), listenMs(listenFor) {}
    void run() {
        thread = std::thread([this] {
            received = pty.readSent(1, listenMs);
            if (!reply.isEmpty() && received == QByteArray("\x0B", 1)) pty.write(reply);
        });
    }
    ~Answerer() {
        if (thread.joinable()) thread.join();
    }
};

}  // namespace

TEST(UsbDetection, DescriptionBeforeIdsFirstMatchInListOrder) {
    struct Case {
        const char *what;
        QList<SerialPortEntry> ports;
        const char *expected;  // "" = none
    };
    const std::vector<Case> cases = {
        {"none", {}, ""},
        {"underscores and lower case",
         {described("ttyS0", "modem"), described("ttyUSB0", "tarvelin_ecg_12")},
         "ttyUSB0"},
        {"ergo", {described("ttyUSB1", "Tarvelin Ergo")}, "ttyUSB1"},
        {"first of either name wins",
         {described("ttyUSB1", "TARVELIN ERGO"), described("ttyUSB0", "TARVELIN ECG")},
         "ttyUSB1"},
        {"prefix only", {described("ttyUSB0", "MY TARVELIN ECG"), described("ttyUSB1", "TARVELINECG")}, ""},
        {"description before ids",
         {usbIds("ttyACM0", 0x04D8, 0x00DF), described("ttyUSB3", "TARVELIN ECG")},
         "ttyUSB3"},
        {"ids",
         {usbIds("ttyACM0", 0x04D8, 0x00DE), usbIds("ttyACM1", 0x04D8, 0x00DF), usbIds("ttyACM2", 0x04D8, 0x00DF)},
         "ttyACM1"},
        {"ids unknown", {usbIds("ttyACM0", 0x04D8, 0x00DF, false)}, ""},
        {"other vendor", {usbIds("ttyACM0", 0x04D9, 0x00DF)}, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const FakeCatalog catalog(c.ports);
        EXPECT_EQ(PortDetection::findUsbDevicePort(catalog), QString::fromLatin1(c.expected));
        if (*c.expected) {
            LinkDevice standard(ChannelTable::kTiltTestMask, &catalog);
            EXPECT_EQ(standard.portName(), QString::fromLatin1(c.expected));
            EXPECT_EQ(standard.baudRate(), 230400);
            HrLinkDevice hr(&catalog);
            EXPECT_EQ(hr.portName(), QString::fromLatin1(c.expected));
            EXPECT_EQ(hr.baudRate(), 570000);
        } else {
            try {
                LinkDevice device(-1, &catalog);
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error &e) {
                EXPECT_STREQ(e.what(), "Device not found");
            }
            try {
                HrLinkDevice device(&catalog);
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error &e) {
                EXPECT_STREQ(e.what(), "Device not found");
            }
        }
    }
}

// Two front ends answer, one Bluetooth port stays silent, one answers with
// something else, one cannot be opened, and a front end on a port that is
// not Bluetooth is never asked. The result is sorted by port name.
TEST(BluetoothDetection, ReturnsExactlyTheAnsweringPortsSorted) {
    Answerer ecg(QByteArray("  Ecg-3\r", 8).left(7));
    Answerer ergo(QByteArray("ERGO\r\n", 6));
    Answerer silent{QByteArray()};
    Answerer other(QByteArray("MODEM17", 7));
    Answerer notBluetooth(QByteArray("ECG", 3), 1500);
    for (Answerer *a : std::vector<Answerer *>{&ecg, &ergo, &silent, &other, &notBluetooth}) {
        ASSERT_TRUE(a->pty.ok());
        a->run();
    }
    const auto entry = [](const Answerer &a, const char *description) {
        return SerialPortEntry{a.pty.slavePath(), QString::fromLatin1(description), 0, 0, false};
    };
    // Listed so that catalogue order is not name order.
    const FakeCatalog catalog(
        {entry(silent, "Standard Serial over BLUETOOTH link"), entry(ergo, "bluetooth serial"),
         SerialPortEntry{QStringLiteral("/dev/tarvelin-absent"), QStringLiteral("Bluetooth"), 0, 0, false},
         entry(other, "Bluetooth"), entry(notBluetooth, "USB serial"), entry(ecg, "Bluetooth")});

    QElapsedTimer t;
    t.start();
    const QStringList found = PortDetection::detectBluetoothDevices(catalog, 1000);
    EXPECT_LT(t.elapsed(), 3500) << "a silent port costs its read time-out";

    QStringList expected{ecg.pty.slavePath(), ergo.pty.slavePath()};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    for (Answerer *a : std::vector<Answerer *>{&ecg, &ergo, &silent, &other, &notBluetooth}) {
        if (a->thread.joinable()) a->thread.join();
    }
    EXPECT_EQ(silent.received, QByteArray("\x0B", 1));
    EXPECT_EQ(other.received, QByteArray("\x0B", 1));
    EXPECT_TRUE(notBluetooth.received.isEmpty());
}

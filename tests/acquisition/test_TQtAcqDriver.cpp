#include "AcqTestSupport.h"
#include "FakeAcqDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "analysis/SignalBuffer.h"

#include <gtest/gtest.h>

namespace {

struct DriverRig {
    FakeAcqDevice device{3, 500};
    SignalBuffer sink{4096, 81920, 3, 500};
    TQtAcqDriver driver{device, sink};
    RecordingListener first, second;
    DriverRig() {
        driver.addListener(&first);
        driver.addListener(&second);
    }
    void push(int frames, int base = 0) {
        const auto bytes = makeFrames(3, frames, base);
        device.fifo.append(bytes.data(), static_cast<int>(bytes.size()));
    }
};

}  // namespace

TEST(TQtAcqDriver, BlocksReachTheSinkWithTheirExactSamplesAndEveryListenerInOrder) {
    DriverRig rig;
    rig.driver.start();
    rig.push(120);
    ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == 120; }));
    for (int f = 0; f < 120; ++f)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(rig.sink.readSample(c, f), f * 3 + c) << f << "," << c;
    ASSERT_EQ(rig.first.count('b'), rig.second.count('b'));
    EXPECT_EQ(rig.first.events.back().value, 120) << "listeners are told after the append";
    rig.driver.stop();
    EXPECT_EQ(rig.first.count('e'), 0) << "a stop asked for by the caller is not an error";
    EXPECT_GE(rig.device.stops.load(), 1);
}

// The worker only hands over more than rate/10 frames, and never more than
// five seconds of samples in one block.
TEST(TQtAcqDriver, BlockSizesStayBetweenATenthOfASecondAndFiveSeconds) {
    struct Case {
        int pushed;
        std::vector<int> expectedBlockEnds;
    };
    const std::vector<Case> cases = {
        {50, {}},    // exactly rate/10 frames: keep waiting
        {51, {51}},  // one more: delivered
        {6000, {2500, 5000, 6000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pushed);
        DriverRig rig;
        rig.push(c.pushed);
        rig.driver.start();
        if (c.expectedBlockEnds.empty()) {
            EXPECT_FALSE(waitUntil([&] { return rig.sink.length() > 0; }, 300));
        } else {
            ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == c.pushed; }));
            std::vector<int> ends;
            for (const auto &e : rig.first.events) ends.push_back(e.value);
            EXPECT_EQ(ends, c.expectedBlockEnds);
        }
        rig.driver.stop();
    }
}

TEST(TQtAcqDriver, MutedChannelArrivesAsZerosOthersUntouched) {
    DriverRig rig;
    rig.driver.setChannelMuted(1, true);
    EXPECT_TRUE(rig.driver.channelMuted(1));
    EXPECT_FALSE(rig.driver.channelMuted(7)) << "out of range reads as not muted";
    rig.driver.start();
    rig.push(100, 1000);
    ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == 100; }));
    for (int f = 0; f < 100; ++f) {
        EXPECT_EQ(rig.sink.readSample(0, f), 1000 + f * 3);
        EXPECT_EQ(rig.sink.readSample(1, f), 0);
        EXPECT_EQ(rig.sink.readSample(2, f), 1000 + f * 3 + 2);
    }
    rig.driver.setChannelMuted(1, false);
    rig.push(100, 1000);
    ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == 200; }));
    EXPECT_EQ(rig.sink.readSample(1, 150), 1000 + 50 * 3 + 1);
    rig.driver.stop();
}

TEST(TQtAcqDriver, FailuresEndTheRunWithTheRightErrorText) {
    struct Case {
        const char *name;
        std::function<void(FakeAcqDevice &)> breakIt;
        QString expected;
    };
    const std::vector<Case> cases = {
        {"short read from the queue", [](FakeAcqDevice &d) { d.shortReads = 1; }, "Port not found"},
        {"exception from the source", [](FakeAcqDevice &d) { d.throwOnRead = true; }, "Error: bus fault"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DriverRig rig;
        c.breakIt(rig.device);
        rig.driver.start();
        rig.push(60);
        ASSERT_TRUE(waitUntil([&] { return rig.first.count('e') == 1; }));
        EXPECT_EQ(rig.first.events.back().message, c.expected);
        EXPECT_EQ(rig.second.count('e'), 1);
        EXPECT_EQ(rig.sink.length(), 0);
        rig.driver.stop();
        EXPECT_GE(rig.device.stops.load(), 1) << "the source is stopped when the worker ends";
    }
}

TEST(TQtAcqDriver, FailedSourceIsRestartedSilently) {
    DriverRig rig;
    rig.driver.start();
    ASSERT_TRUE(waitUntil([&] { return rig.device.starts.load() == 1; }));
    rig.device.ok = false;
    ASSERT_TRUE(waitUntil([&] { return rig.device.starts.load() >= 3; }));
    rig.device.ok = true;
    rig.push(60);
    ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == 60; }));
    rig.driver.stop();
    EXPECT_EQ(rig.first.count('e'), 0);
}

TEST(TQtAcqDriver, PacemakerPulsesAndResetRequestsAreHandedOver) {
    DriverRig rig;
    rig.device.addPacemakerOffset(7);
    rig.device.addPacemakerOffset(19);
    rig.driver.requestReset();  // cleared when the worker starts
    rig.driver.start();
    ASSERT_TRUE(waitUntil([&] { return rig.device.starts.load() == 1; }));
    rig.driver.requestReset();
    rig.push(60);
    ASSERT_TRUE(waitUntil([&] { return rig.sink.length() == 60; }));
    ASSERT_EQ(rig.first.events.size(), 3u);
    EXPECT_EQ(rig.first.events[0].kind, 'p');
    EXPECT_EQ(rig.first.events[0].value, 7);
    EXPECT_EQ(rig.first.events[1].value, 19);
    EXPECT_EQ(rig.first.events[2].kind, 'b');
    EXPECT_EQ(rig.device.resets.load(), 1);
    rig.driver.stop();
}

TEST(TQtAcqDriver, DeviceStateQueriesAreForwarded) {
    DriverRig rig;
    rig.device.saturatedChannel = 2;
    EXPECT_TRUE(rig.driver.channelSaturated(2));
    EXPECT_FALSE(rig.driver.channelSaturated(1));
    EXPECT_TRUE(rig.driver.electrodeOff("LA"));
    EXPECT_FALSE(rig.driver.electrodeOff("RA"));
    EXPECT_DOUBLE_EQ(rig.driver.batteryVoltage(), 3.7);
}

// The worker may be blocked handing an error to the user-interface thread
// at the very moment that thread stops the driver: stop must still return,
// and no listener hears of the stopped run.
TEST(TQtAcqDriver, StopWhileTheWorkerWaitsOnAnErrorNeitherHangsNorReports) {
    DriverRig rig;
    rig.device.shortReads = 1;
    rig.driver.start();
    rig.push(60);
    QThread::msleep(200);  // the worker has posted its error and waits for us
    rig.driver.stop();
    EXPECT_EQ(rig.first.count('e'), 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(rig.first.events.empty()) << "nothing of the stopped run arrives after stop";
}

TEST(TQtAcqDriver, BlocksQueuedBeforeStopAreNotDeliveredAfterIt) {
    DriverRig rig;
    rig.driver.start();
    rig.push(60);
    QThread::msleep(150);  // the block is queued but not yet handled
    rig.driver.stop();
    QCoreApplication::processEvents();
    EXPECT_EQ(rig.sink.length(), 0);
    EXPECT_TRUE(rig.first.events.empty());
}

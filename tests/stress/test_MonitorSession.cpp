// The session between the acquisition driver and the monitoring engine:
// blocks reach the engine, the device's state reaches listeners once per
// change, and a failed acquisition reaches them with the operator's text.

#include "ScriptedDevice.h"
#include "acquisition/TQtAcqDriver.h"
#include "analysis/MonitorFeeds.h"
#include "analysis/SubscriberList.h"
#include "stress/MonitorEngine.h"
#include "stress/MonitorListener.h"
#include "stress/MonitorSession.h"
#include "stress/SessionListener.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

bool waitFor(const std::function<bool()> &done, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

struct StateLog : SessionListener {
    void deviceStateChanged(MonitorSession &, const DeviceState &state) override { states.push_back(state); }
    void acquisitionFailed(MonitorSession &, const QString &text, const QString &detail) override {
        failures << text + QStringLiteral(" | ") + detail;
    }
    std::vector<DeviceState> states;
    QStringList failures;
};

struct BlockLog : MonitorListener {
    void blockProcessed(MonitorEngine &engine) override { lengths.push_back(engine.raw().length()); }
    std::vector<std::int64_t> lengths;
};

struct SessionRig {
    ScriptedDevice *device = nullptr;
    std::unique_ptr<MonitorSession> session;
    StateLog states;
    BlockLog blocks;
    SessionRig() {
        auto owned = std::make_unique<ScriptedDevice>(14, 500);
        device = owned.get();
        session = std::make_unique<MonitorSession>(std::move(owned), false);
        session->addListener(&states);
        session->engine().addListener(&blocks);
    }
    ~SessionRig() { session->engine().removeListener(&blocks); }
};

}  // namespace

TEST(MonitorSession, EveryDriverBlockIsAppendedAndProcessedByTheEngineOnce) {
    SessionRig rig;
    EXPECT_EQ(rig.session->engine().raw().channelCount(), 14);
    EXPECT_DOUBLE_EQ(rig.session->engine().raw().amplitudeMax(), 300.0);
    rig.session->start();
    EXPECT_TRUE(rig.session->acquiring());
    rig.device->push(300, 100);
    ASSERT_TRUE(waitFor([&] { return rig.session->engine().raw().length() == 300; }));
    rig.device->push(200, 100);
    ASSERT_TRUE(waitFor([&] { return !rig.blocks.lengths.empty() && rig.blocks.lengths.back() == 500; }));
    // Told once per block, each time after its samples were appended.
    for (std::size_t i = 1; i < rig.blocks.lengths.size(); ++i)
        EXPECT_GT(rig.blocks.lengths[i], rig.blocks.lengths[i - 1]);
    EXPECT_EQ(rig.session->engine().raw().readSample(13, 499), 100);
    EXPECT_GT(rig.session->engine().feeds().analysisFeed().length(), 0);
    rig.session->stop();
    EXPECT_FALSE(rig.session->acquiring());
    EXPECT_TRUE(rig.states.failures.isEmpty()) << "a stop asked for is no failure";
}

TEST(MonitorSession, EachChangeOfTheDeviceIsToldOnceWithWhatTheDeviceReports) {
    SessionRig rig;
    struct Step {
        const char *what;
        std::function<void(ScriptedDevice &)> change;
        std::function<void(const DeviceState &)> check;
    };
    const std::vector<Step> steps = {
        {"electrode V3 off", [](ScriptedDevice &d) { d.setElectrodesOff({"V3"}); },
         [](const DeviceState &s) {
             EXPECT_EQ(s.electrodesOff, QStringList{"V3"});
             EXPECT_TRUE(s.anyElectrodeOff());
         }},
        {"battery low", [](ScriptedDevice &d) { d.battery = 2.2; },
         [](const DeviceState &s) {
             EXPECT_TRUE(s.lowBattery(0.0));
             EXPECT_FALSE(s.lowBattery(2.1)) << "a configured threshold replaces the default";
         }},
        {"link lost", [](ScriptedDevice &d) { d.ok = false; }, [](const DeviceState &s) { EXPECT_FALSE(s.connected); }},
        {"link back, V5 saturated",
         [](ScriptedDevice &d) {
             d.ok = true;
             d.saturated = 10;
         },
         [](const DeviceState &s) {
             EXPECT_TRUE(s.connected);
             EXPECT_EQ(s.inoperativeLeads, std::vector<int>{10});
         }},
        {"all well",
         [](ScriptedDevice &d) {
             d.saturated = -1;
             d.setElectrodesOff({});
             d.battery = 3.9;
         },
         [](const DeviceState &s) {
             EXPECT_FALSE(s.anyElectrodeOff());
             EXPECT_FALSE(s.anyLeadInoperative());
             EXPECT_FALSE(s.lowBattery(0.0));
         }},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        const std::size_t before = rig.states.states.size();
        step.change(*rig.device);
        rig.session->pollDeviceState();
        rig.session->pollDeviceState();
        ASSERT_EQ(rig.states.states.size(), before + 1) << "one report per change, none when unchanged";
        step.check(rig.states.states.back());
    }
}

TEST(MonitorSession, ALinkWithoutBlocksForTwoSecondsIsNotConnected) {
    SessionRig rig;
    rig.session->start();
    rig.device->push(100);
    ASSERT_TRUE(waitFor([&] { return rig.session->engine().raw().length() == 100; }));
    rig.session->pollDeviceState();
    EXPECT_TRUE(rig.session->deviceState().connected);
    ASSERT_TRUE(waitFor(
        [&] {
            rig.session->pollDeviceState();
            return !rig.session->deviceState().connected;
        },
        MonitorSession::kSilenceMs + 2000));
    rig.device->push(100);
    ASSERT_TRUE(waitFor([&] {
        rig.session->pollDeviceState();
        return rig.session->deviceState().connected;
    }));
}

TEST(MonitorSession, ABrokenAcquisitionIsToldWithTheOperatorsTextAndLeavesNoLink) {
    SessionRig rig;
    rig.session->start();
    rig.device->push(100);
    ASSERT_TRUE(waitFor([&] { return rig.session->engine().raw().length() == 100; }));
    rig.device->shortRead = true;
    rig.device->push(100);
    ASSERT_TRUE(waitFor([&] { return !rig.states.failures.isEmpty(); }));
    EXPECT_EQ(rig.states.failures,
              QStringList{QStringLiteral("Communication with ECG acquiring device failed. | Read error")});
    EXPECT_TRUE(rig.session->failed());
    EXPECT_FALSE(rig.session->acquiring());
    ASSERT_FALSE(rig.states.states.empty());
    EXPECT_FALSE(rig.states.states.back().connected) << "the connecting indicator shows a dead acquisition";
}

TEST(SubscriberList, AddsOnceAndSkipsSubscribersRemovedDuringANotification) {
    struct Sub {
        QStringList *log;
        QString name;
        std::function<void()> onCall;
    };
    SubscriberList<Sub> list;
    QStringList log;
    Sub a{&log, "a", {}}, b{&log, "b", {}}, c{&log, "c", {}};
    a.onCall = [&] {
        list.remove(&a);  // itself
        list.remove(&c);  // one not yet told
    };
    list.add(&a);
    list.add(&b);
    list.add(&b);
    list.add(&c);
    list.notify([](Sub &s) {
        *s.log << s.name;
        if (s.onCall) s.onCall();
    });
    EXPECT_EQ(log, (QStringList{"a", "b"}));
    EXPECT_EQ(list.size(), 1);
}

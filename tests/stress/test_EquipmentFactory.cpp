// Which controller, if any, a stress test gets from the configured equipment.
#include "EquipmentTestSupport.h"
#include "stress/EquipmentFactory.h"
#include "stress/KipnetController.h"
#include "stress/OlmoController.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ChoiceCase {
    ProtocolType type;
    const char *ergometer;
    const char *treadmill;
    EquipmentKind kind;
    const char *port;
};

// Ports: the ergometer on "ttyS0", the treadmill on "ttyUSB1".
const ChoiceCase kChoices[] = {
    {ProtocolType::Ergometer, "olmo", "kipmachines", EquipmentKind::Olmo, "ttyS0"},
    {ProtocolType::Ergometer, "kipmachines", "", EquipmentKind::Kipnet, "ttyS0"},
    {ProtocolType::Ergometer, "", "kipmachines", EquipmentKind::None, ""},
    {ProtocolType::Ergometer, "OLMO", "", EquipmentKind::None, ""},
    {ProtocolType::Ergometer, "manual", "", EquipmentKind::None, ""},
    {ProtocolType::Treadmill, "", "kipmachines", EquipmentKind::Kipnet, "ttyUSB1"},
    {ProtocolType::Treadmill, "kipmachines", "", EquipmentKind::None, ""},
    {ProtocolType::Treadmill, "olmo", "olmo", EquipmentKind::None, ""},
    {ProtocolType::Treadmill, "", "", EquipmentKind::None, ""},
    {ProtocolType::RestingEcg, "kipmachines", "kipmachines", EquipmentKind::None, ""},
    {ProtocolType::TiltTest, "olmo", "kipmachines", EquipmentKind::None, ""},
    {ProtocolType::Pharmacologic, "kipmachines", "kipmachines", EquipmentKind::None, ""},
};

EquipmentSettings settingsFor(const char *ergometer, const char *treadmill) {
    EquipmentSettings settings;
    settings.ergometerEquipment = ergometer;
    settings.ergometerPort = "ttyS0";
    settings.treadmillEquipment = treadmill;
    settings.treadmillPort = "ttyUSB1";
    return settings;
}

TEST(EquipmentFactory, ChoosesByProtocolTypeAndConfiguredEquipment) {
    for (const ChoiceCase &c : kChoices) {
        const EquipmentChoice choice = EquipmentFactory::choose(c.type, settingsFor(c.ergometer, c.treadmill));
        EXPECT_EQ(choice.kind, c.kind) << static_cast<int>(c.type) << " " << c.ergometer << " " << c.treadmill;
        EXPECT_EQ(choice.portName, QString(c.port)) << static_cast<int>(c.type) << " " << c.ergometer;
    }
}

TEST(EquipmentFactory, CreatesTheChosenControllerOnItsPort) {
    QTemporaryDir dir;
    RecordingSleeper sleeper;
    for (const ChoiceCase &c : kChoices) {
        EquipmentSettings settings = settingsFor(c.ergometer, c.treadmill);
        // Ports that do not exist: the workers retry or give up harmlessly.
        settings.ergometerPort = dir.filePath("ergometer");
        settings.treadmillPort = dir.filePath("treadmill");
        settings.kipnetLogFolder = dir.path();
        const std::unique_ptr<EquipmentController> controller = EquipmentFactory::create(c.type, settings, &sleeper);
        const QString port = EquipmentFactory::choose(c.type, settings).portName;
        switch (c.kind) {
        case EquipmentKind::None: EXPECT_EQ(controller, nullptr); break;
        case EquipmentKind::Olmo: {
            const auto *olmo = dynamic_cast<const OlmoController *>(controller.get());
            ASSERT_NE(olmo, nullptr);
            EXPECT_EQ(olmo->portName(), port);
            break;
        }
        case EquipmentKind::Kipnet: {
            const auto *kipnet = dynamic_cast<const KipnetController *>(controller.get());
            ASSERT_NE(kipnet, nullptr);
            EXPECT_EQ(kipnet->portName(), port);
            EXPECT_EQ(kipnet->logFilePath(), dir.filePath("tarvelin-kipnet.log"));
            break;
        }
        }
    }
}

}  // namespace

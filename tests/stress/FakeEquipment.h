#pragma once
// An equipment controller that logs every call and fails the ones it is
// told to, for the run-control tests.

#include "stress/EquipmentController.h"

#include <QString>
#include <QStringList>

class FakeEquipment : public EquipmentController {
public:
    bool isReady() override { return ready; }
    bool start() override {
        calls << QStringLiteral("start");
        return !failStart;
    }
    bool stop() override {
        calls << QStringLiteral("stop");
        return !failStop;
    }
    bool apply() override {
        calls << QStringLiteral("apply");
        return true;
    }
    bool setValue(const QString &name, double value) override {
        calls << QStringLiteral("%1=%2").arg(name).arg(value);
        return ++sets != failOnSet;
    }

    QStringList calls;
    bool ready = true;  // false: the link died after the last command
    bool failStart = false;
    bool failStop = false;
    int failOnSet = 0;  // 1-based number of the set that fails; 0: none
    int sets = 0;
};

#pragma once
// The exercise equipment as the run control sees it: operations only post
// requests to a worker thread, so the user-interface thread never waits on a
// serial link.

#include <QString>

class EquipmentController {
public:
    virtual ~EquipmentController() = default;

    virtual bool isReady() = 0;
    virtual bool start() = 0;
    virtual bool stop() = 0;
    // Hands the values set since the last apply to the worker as one set.
    virtual bool apply() = 0;
    virtual bool setValue(const QString &name, double value) = 0;
};

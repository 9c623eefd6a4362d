#pragma once
// What the acquisition driver tells its listeners, on the user-interface
// thread, in subscription order.

#include <QString>

class TAcqDriver;

class AcqDriverListener {
public:
    virtual ~AcqDriverListener() = default;
    // A sample block was appended to the driver's sink.
    virtual void acqBlockArrived(TAcqDriver &driver) = 0;
    virtual void acqPacemakerPulse(TAcqDriver &driver, int sampleOffset) = 0;
    // The acquisition ended with a failure; `message` is the source's error text.
    virtual void acqError(TAcqDriver &driver, const QString &message) = 0;
};

#pragma once
// The values behind the ramp editor dialog: end points, target oxygen
// uptake and per-minute increments, kept consistent as the user edits any
// of them.

#include "stress/RampProtocol.h"
#include "stress/Vo2Model.h"

#include <functional>

class RampEditor {
public:
    // Called after every change so the dialog can refresh its fields. A
    // field refresh that echoes its value back into a setter is harmless:
    // the interlock keeps an echo from recomputing the field being edited.
    void setChangedCallback(std::function<void()> callback) { changed_ = std::move(callback); }

    // The reference uptake the dialog shows; presets copy it into the target.
    void setReferenceVo2(double vo2) { referenceVo2_ = vo2; }
    // Presets: walking 3 -> 6 km/h, running 8 -> 12 km/h, target = reference.
    void chooseGait(Gait gait);
    // Whether a target is reached by speed on the level instead of by grade.
    void setReachTargetBySpeed(bool bySpeed) { reachBySpeed_ = bySpeed; }

    void setDurationMinutes(double minutes);
    void setInitialSpeed(double kmh);
    void setInitialIncline(double percent);
    // Editing an end point recomputes the target uptake.
    void setFinalSpeed(double kmh);
    void setFinalIncline(double percent);
    // Editing the target recomputes the final incline (or the final speed,
    // with the incline set to 0).
    void setTargetVo2(double vo2);

    Gait gait() const { return gait_; }
    double durationMinutes() const { return ramp_.durationMinutes; }
    double initialSpeed() const { return ramp_.initialSpeed; }
    double finalSpeed() const { return ramp_.finalSpeed; }
    double initialIncline() const { return ramp_.initialIncline; }
    double finalIncline() const { return ramp_.finalIncline; }
    double targetVo2() const { return targetVo2_; }
    // Per minute of ramp; 0 while the duration is not positive.
    double speedIncrement() const { return speedIncrement_; }
    double inclineIncrement() const { return inclineIncrement_; }

    const RampProtocol &ramp() const { return ramp_; }
    void setRamp(const RampProtocol &ramp);

private:
    void endPointEdited();
    void recomputeIncrements();
    void notify();

    RampProtocol ramp_;
    Gait gait_ = Gait::Walking;
    bool reachBySpeed_ = false;
    double referenceVo2_ = 0.0;
    double targetVo2_ = 0.0;
    double speedIncrement_ = 0.0;
    double inclineIncrement_ = 0.0;
    bool editingTarget_ = false;
    bool editingEndPoint_ = false;
    bool notifying_ = false;
    std::function<void()> changed_;
};

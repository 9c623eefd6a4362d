#include "stress/RampEditor.h"

namespace {

// Sets a flag for the length of one edit, so echoes of that edit are told
// apart from the user's own edits.
class EditScope {
public:
    explicit EditScope(bool &flag) : flag_(flag), wasSet_(flag) { flag_ = true; }
    ~EditScope() { flag_ = wasSet_; }
    EditScope(const EditScope &) = delete;
    EditScope &operator=(const EditScope &) = delete;

private:
    bool &flag_;
    bool wasSet_;
};

}  // namespace

void RampEditor::chooseGait(Gait gait) {
    gait_ = gait;
    const bool running = gait == Gait::Running;
    setInitialSpeed(running ? 8.0 : 3.0);
    setFinalSpeed(running ? 12.0 : 6.0);
    setTargetVo2(referenceVo2_);
}

void RampEditor::setDurationMinutes(double minutes) {
    ramp_.durationMinutes = minutes;
    recomputeIncrements();
    notify();
}

void RampEditor::setInitialSpeed(double kmh) {
    ramp_.initialSpeed = kmh;
    recomputeIncrements();
    notify();
}

void RampEditor::setInitialIncline(double percent) {
    ramp_.initialIncline = percent;
    recomputeIncrements();
    notify();
}

void RampEditor::setFinalSpeed(double kmh) {
    ramp_.finalSpeed = kmh;
    endPointEdited();
}

void RampEditor::setFinalIncline(double percent) {
    ramp_.finalIncline = percent;
    endPointEdited();
}

void RampEditor::endPointEdited() {
    recomputeIncrements();
    if (editingTarget_ || editingEndPoint_) {
        // An echo of the edit in progress: the target stays as typed.
        notify();
        return;
    }
    EditScope scope(editingEndPoint_);
    targetVo2_ = Vo2Model::vo2(gait_, ramp_.finalSpeed, ramp_.finalIncline);
    notify();
}

void RampEditor::setTargetVo2(double vo2) {
    targetVo2_ = vo2;
    if (editingEndPoint_ || editingTarget_) {
        // An echo of the edit in progress: the end points stay as typed.
        notify();
        return;
    }
    EditScope scope(editingTarget_);
    if (reachBySpeed_) {
        ramp_.finalSpeed = Vo2Model::speedFor(gait_, vo2);
        ramp_.finalIncline = 0.0;
    } else if (ramp_.finalSpeed > 0.0) {
        // No grade reaches a target at standstill; the incline is kept.
        ramp_.finalIncline = Vo2Model::gradeFor(gait_, vo2, ramp_.finalSpeed);
    }
    recomputeIncrements();
    notify();
}

void RampEditor::setRamp(const RampProtocol &ramp) {
    ramp_ = ramp;
    targetVo2_ = Vo2Model::vo2(gait_, ramp_.finalSpeed, ramp_.finalIncline);
    recomputeIncrements();
    notify();
}

void RampEditor::recomputeIncrements() {
    if (ramp_.durationMinutes <= 0.0) {
        speedIncrement_ = 0.0;
        inclineIncrement_ = 0.0;
        return;
    }
    speedIncrement_ = (ramp_.finalSpeed - ramp_.initialSpeed) / ramp_.durationMinutes;
    inclineIncrement_ = (ramp_.finalIncline - ramp_.initialIncline) / ramp_.durationMinutes;
}

void RampEditor::notify() {
    // Field refreshes made from inside the callback are not reported again,
    // so a dialog that echoes every refresh cannot loop.
    if (!changed_ || notifying_) return;
    EditScope scope(notifying_);
    changed_();
}

#pragma once
// Where a moment of a stored stress test lies: the recorded stage running
// then, the time into it, its number within its phase, and the heart rate of
// the last beat before it; what the review window's information frames show
// for the position on screen.

#include <QString>

class Study;

struct ReviewPosition {
    double time = 0.0;           // seconds of recording
    int stage = -1;              // recorded stage; -1 outside the recorded protocol
    double stageElapsed = 0.0;   // seconds since the stage began
    double stageDuration = 0.0;  // seconds the stage lasted
    int numberInPhase = 0;       // 1 for the first stage of its phase
    int phase = 0;               // StagePhase of the stage as an int
    int heartRate = 0;           // bpm of the last "BPMTrend" point at or before `time`; 0 when none

    // A stage's end belongs to it. After the last recorded stage the position belongs to that stage (a
    // recording may run past the protocol's end by a few samples).
    static ReviewPosition at(const Study &study, double seconds);
    // The time a stage ends, for moving the review to it; 0 for an invalid stage.
    static double stageEnd(const Study &study, int stage);
};

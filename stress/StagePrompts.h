#pragma once
// When the stress monitor asks for the blood pressure and prints a stage:
// the end-of-stage prompt fires once per stage, 15 s before the planned
// end; a stage's print waits for the prompt that belongs to it. The window
// opens the prompt and runs the print when told to.

class MonitorEngine;

class StagePrompts {
public:
    static constexpr double kPromptLeadSeconds = 15.0;

    void started() { armed_ = true; }
    // After every processed block; true when the end-of-stage prompt must
    // open now.
    bool blockProcessed(const MonitorEngine &engine, bool promptOpen);
    // After a stage change; true when the stage print must start now.
    bool stageChanged(bool promptOpen);
    // Next stage or Recovery pressed: the prompt they open decides the print.
    void stageButtonPressed();
    // Stop pressed: the last stage prints once the engine closes it.
    void stopPressed();
    // The prompt was accepted; true when the stage print must start now.
    bool promptAccepted(bool printTicked);
    void promptRejected();

    void setPrinting(bool printing) { printing_ = printing; }
    bool printing() const { return printing_; }
    bool armed() const { return armed_; }
    bool printPending() const { return printPending_; }
    bool printOnAccept() const { return printOnAccept_; }

private:
    bool armed_ = false;
    bool printPending_ = false;
    bool printOnAccept_ = false;
    bool printing_ = false;
};

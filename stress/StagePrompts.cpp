#include "stress/StagePrompts.h"

#include "stress/MonitorEngine.h"

bool StagePrompts::blockProcessed(const MonitorEngine &engine, bool promptOpen) {
    const StressRun *run = engine.run();
    if (!armed_ || promptOpen || !run || !run->running() || !run->hasStageProtocol()) return false;
    const Stage *stage = run->currentStage();
    if (!stage) return false;
    const double remaining = stage->duration - (engine.recordedTime() - run->stageStart());
    if (remaining > kPromptLeadSeconds) return false;
    printPending_ = true;
    armed_ = false;
    return true;
}

bool StagePrompts::stageChanged(bool promptOpen) {
    armed_ = true;
    if (!printPending_) return false;
    printPending_ = false;
    if (promptOpen) {
        printOnAccept_ = true;
        return false;
    }
    return true;
}

void StagePrompts::stageButtonPressed() {
    printOnAccept_ = true;
    armed_ = false;
}

void StagePrompts::stopPressed() {
    armed_ = false;
    printPending_ = true;
}

bool StagePrompts::promptAccepted(bool printTicked) {
    if (!printTicked) {
        printOnAccept_ = false;
        printPending_ = false;
        return false;
    }
    if (!printOnAccept_) return false;
    printOnAccept_ = false;
    return true;
}

void StagePrompts::promptRejected() {
    printOnAccept_ = false;
    printPending_ = false;
}

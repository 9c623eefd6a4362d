#pragma once
// Opens a stored study in the review window of its kind, with "Report"
// answered by the report dialog. The launcher and the study browser open
// studies through it.

class QWidget;
class Study;
class StudyStore;

namespace ReviewWindows {

// The window deletes itself when closed; `study` and `store` must outlive
// it. Resting ECGs (study type "ECG") open in the resting review window,
// every other study in the stress review window.
QWidget *open(Study &study, StudyStore &store, QWidget *launcher);

// A report of `study` was produced: its status becomes "report" and it is
// saved, so the study browser marks it and "Show report" opens the PDF.
void markReported(Study &study, StudyStore &store, QWidget *parent);

}  // namespace ReviewWindows

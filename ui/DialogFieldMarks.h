#pragma once
// How a dialog points at a field whose value it cannot take.

class QWidget;

namespace DialogFieldMarks {

// Colours a failing field light yellow and clears the colour of one that passes.
void mark(QWidget *field, bool passes);
bool isMarked(const QWidget *field);

}  // namespace DialogFieldMarks

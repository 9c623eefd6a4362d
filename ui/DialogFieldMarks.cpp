#include "ui/DialogFieldMarks.h"

#include <QWidget>

namespace DialogFieldMarks {

namespace {
const QString kFailed = QStringLiteral("background-color: lightyellow");
}

void mark(QWidget *field, bool passes) { field->setStyleSheet(passes ? QString() : kFailed); }

bool isMarked(const QWidget *field) { return field->styleSheet() == kFailed; }

}  // namespace DialogFieldMarks

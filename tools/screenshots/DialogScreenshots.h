#pragma once
// Pictures of the study data dialog, one per page, of the protocol list and
// editor holding a standard protocol, of the ramp editor and of the report
// dialog.

#include "tools/screenshots/Screenshot.h"

void addDialogScreenshots(ScreenshotList &list);

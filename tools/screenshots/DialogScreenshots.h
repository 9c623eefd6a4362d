#pragma once
// Pictures of the study data dialog, one per page, of the protocol list and
// editor holding a standard protocol, and of the ramp editor.

#include "tools/screenshots/Screenshot.h"

void addDialogScreenshots(ScreenshotList &list);

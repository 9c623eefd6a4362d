#pragma once
// Pictures of the study data dialog, one per page, and of the protocol
// editor's two dialogs holding a standard protocol.

#include "tools/screenshots/Screenshot.h"

void addDialogScreenshots(ScreenshotList &list);

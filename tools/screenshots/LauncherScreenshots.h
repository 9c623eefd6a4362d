#pragma once
// Pictures of the launcher's three pages, on a scratch store and scratch
// settings holding a few recent studies.

#include "tools/screenshots/Screenshot.h"

void addLauncherScreenshots(ScreenshotList &list);

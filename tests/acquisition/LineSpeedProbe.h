#pragma once
// Reads a terminal's speed through termios2 (kept apart from <termios.h>).

namespace LineSpeedProbe {
// The input and output speed in bits per second, or -1 when unreadable.
int inputSpeed(int fd);
int outputSpeed(int fd);
}  // namespace LineSpeedProbe

#pragma once
// Sets a serial line's speed in bits per second, including rates termios has
// no constant for (the HR link's 570000), through the kernel's termios2
// interface. Kept apart because its header cannot share a file with
// <termios.h>.

namespace SerialLineSpeed {

// True when the descriptor's input and output speed are now `baudRate`.
bool set(int fd, int baudRate);

}  // namespace SerialLineSpeed

#include "LineSpeedProbe.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace LineSpeedProbe {

int inputSpeed(int fd) {
    struct termios2 settings {};
    return ioctl(fd, TCGETS2, &settings) == 0 ? static_cast<int>(settings.c_ispeed) : -1;
}

int outputSpeed(int fd) {
    struct termios2 settings {};
    return ioctl(fd, TCGETS2, &settings) == 0 ? static_cast<int>(settings.c_ospeed) : -1;
}

}  // namespace LineSpeedProbe

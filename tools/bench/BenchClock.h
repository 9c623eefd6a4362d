#pragma once
// CPU time of this process, the basis of every figure the bench prints, so
// results compare across machines and do not depend on other load.

#include <ctime>

inline double cpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

#pragma once
// How acquisition threads wait: real sleeps in the program, a recording fake
// in tests so pacing and polling can be checked without waiting.

class Sleeper {
public:
    virtual ~Sleeper() = default;
    virtual void sleepMs(int milliseconds) = 0;
    // The thread sleep of the platform; shared, stateless.
    static Sleeper &system();
};

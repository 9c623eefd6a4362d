#pragma once
// The byte queue between a source's reader thread and the acquisition worker;
// the only lock of the acquisition path.

#include <QMutex>
#include <deque>

class ByteFifo {
public:
    void append(const char *data, int length);
    int size() const;
    // Removes up to `length` bytes from the front; returns how many were moved.
    int read(char *destination, int length);
    void clear();

private:
    mutable QMutex mutex_;
    std::deque<char> bytes_;
};

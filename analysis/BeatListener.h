#pragma once
// Told of every beat the classification emits, in emission order (a held
// premature beat is emitted when it is resolved, before the beat after it).

#include "analysis/BeatRecord.h"

class BeatListener {
public:
    virtual ~BeatListener() = default;
    virtual void beatEmitted(const BeatRecord &beat) = 0;
};

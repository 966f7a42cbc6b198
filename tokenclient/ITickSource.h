#pragma once

#include <cstdint>

// The platform's millisecond tick: 32 bits, wrapping around. Callers compare
// ticks only by their unsigned difference.
class ITickSource {
public:
    virtual uint32_t Now() = 0;

protected:
    ~ITickSource() = default;
};

#pragma once

#include "tokenclient/ITickSource.h"

// GetTickCount.
class WinTickSource : public ITickSource {
public:
    uint32_t Now() override;
};

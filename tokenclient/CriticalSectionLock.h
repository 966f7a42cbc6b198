#pragma once

#include <windows.h>

#include "tokenclient/IQueueLock.h"

// A critical section.
class CriticalSectionLock : public IQueueLock {
public:
    CriticalSectionLock();
    ~CriticalSectionLock();
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

    void Enter() override;
    void Leave() override;

private:
    CRITICAL_SECTION section;
};

#pragma once

// The one lock that guards the engine's incoming request list and free list.
class IQueueLock {
public:
    virtual void Enter() = 0;
    virtual void Leave() = 0;

protected:
    ~IQueueLock() = default;
};

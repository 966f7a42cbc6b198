#pragma once

#include <cstddef>
#include <cstdint>

// One UDP socket connected to one peer, as the engine uses it. Errors are
// reported only where the engine looks at them.
class IDatagramSocket {
public:
    // Creates a non-blocking socket connected to the dotted IPv4 address and
    // port. Returns false when no socket could be created; a failed connect
    // still leaves a socket that simply reaches nobody.
    virtual bool Open(const char* address, uint16_t port) = 0;
    virtual bool IsOpen() const = 0;
    // Sends one datagram; the result is not looked at.
    virtual void Send(const char* data, size_t length) = 0;
    // Waits at most timeoutMs for a datagram (or an error) to become readable,
    // or for Wake. Returns true when reading will not block. When there is
    // nothing to wait on it still lets the time pass, so that callers never
    // spin; a socket that cannot be woken waits at most a tenth of a second.
    virtual bool WaitReadable(uint32_t timeoutMs) = 0;
    // Ends the WaitReadable in progress, or the next one, early; any thread.
    virtual void Wake() = 0;
    // The size of the next datagram waiting, 0 when unknown.
    virtual size_t WaitingBytes() = 0;
    // Reads one datagram into data; returns the bytes read, or -1 on failure.
    virtual int Receive(char* data, size_t capacity) = 0;
    virtual void Close() = 0;

protected:
    ~IDatagramSocket() = default;
};

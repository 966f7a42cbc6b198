#pragma once

#include <cstddef>

// The start-up checks the worker makes before it looks for the server.
class ILocalHost {
public:
    // Initialises the socket layer, asking for version 1.1.
    virtual bool StartSockets() = 0;
    // Reads the PC's host name into name, terminated, at most size bytes.
    virtual bool ReadHostName(char* name, size_t size) = 0;
    // Looks the host name up; the addresses found are not used.
    virtual bool LookUpHost(const char* name) = 0;

protected:
    ~ILocalHost() = default;
};

#pragma once

#include "tokenclient/ILocalHost.h"

// WSAStartup (version 1.1), gethostname and gethostbyname. The socket layer
// stays started until the process ends.
class WinLocalHost : public ILocalHost {
public:
    bool StartSockets() override;
    bool ReadHostName(char* name, size_t size) override;
    bool LookUpHost(const char* name) override;
};

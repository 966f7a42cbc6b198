#include "tokenclient/WinLocalHost.h"

#include <climits>
#include <winsock.h>

bool WinLocalHost::StartSockets()
{
    WSADATA data;
    return WSAStartup(MAKEWORD(1, 1), &data) == 0;
}

bool WinLocalHost::ReadHostName(char* name, size_t size)
{
    int length = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    return gethostname(name, length) == 0;
}

bool WinLocalHost::LookUpHost(const char* name) { return gethostbyname(name) != nullptr; }

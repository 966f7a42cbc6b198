#pragma once

// The handful of Win32 types that the framework's portable records carry
// (events, notifications, their points and message parameters). On Windows
// they are the platform's own; elsewhere stand-ins of the same meaning let
// those records, and the pieces that keep them, build and be tested.

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef unsigned int UINT;
typedef unsigned short WORD;
typedef unsigned long DWORD;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;

struct POINT
{
    long x;
    long y;
};
#endif

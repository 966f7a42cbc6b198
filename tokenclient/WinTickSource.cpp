#include "tokenclient/WinTickSource.h"

#include <windows.h>

uint32_t WinTickSource::Now() { return GetTickCount(); }

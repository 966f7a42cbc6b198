#include "tokenclient/CriticalSectionLock.h"

CriticalSectionLock::CriticalSectionLock() { InitializeCriticalSection(&section); }

CriticalSectionLock::~CriticalSectionLock() { DeleteCriticalSection(&section); }

void CriticalSectionLock::Enter() { EnterCriticalSection(&section); }

void CriticalSectionLock::Leave() { LeaveCriticalSection(&section); }

#include "app/FirstPaintReport.h"

#include <windows.h>
#include <psapi.h>

#include <stdio.h>

namespace {

// Resolved at run time, so that the shipped program's import table does not
// grow for a benchmark's sake.
typedef DWORD(WINAPI* GetEnvironmentVariableFn)(LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI* GetProcessTimesFn)(HANDLE, FILETIME*, FILETIME*, FILETIME*, FILETIME*);
typedef BOOL(WINAPI* GetProcessMemoryInfoFn)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);

template <typename Function>
Function Kernel(const char* name)
{
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
}

struct Mark
{
    const char* name;
    ULONGLONG at;
};

const int kMaxMarks = 16;
struct State
{
    bool looked = false;
    bool done = false;
    char path[MAX_PATH] = {};
    Mark marks[kMaxMarks];
    int markCount = 0;
};
State g_state;

// True while a report is still to be written.
bool Wanted()
{
    if (!g_state.looked) {
        g_state.looked = true;
        GetEnvironmentVariableFn get = Kernel<GetEnvironmentVariableFn>("GetEnvironmentVariableA");
        DWORD length = get != nullptr ? get("WAVORIN_FIRST_PAINT", g_state.path, MAX_PATH) : 0;
        g_state.done = length == 0 || length >= MAX_PATH;
    }
    return !g_state.done;
}

ULONGLONG Now()
{
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Milliseconds (in 100 ns units of FILETIME) since `start`.
unsigned long Milliseconds(ULONGLONG start, ULONGLONG at) { return static_cast<unsigned long>((at - start) / 10000); }

} // namespace

void MarkStartupStep(const char* name)
{
    if (!Wanted() || g_state.markCount == kMaxMarks)
        return;
    g_state.marks[g_state.markCount].name = name;
    g_state.marks[g_state.markCount].at = Now();
    ++g_state.markCount;
}

void ReportFirstPaint()
{
    if (!Wanted())
        return;
    g_state.done = true;
    ULONGLONG now = Now();
    HANDLE self = ::GetCurrentProcess();
    FILETIME created = {}, exited, kernel, user;
    GetProcessTimesFn times = Kernel<GetProcessTimesFn>("GetProcessTimes");
    if (times == nullptr || !times(self, &created, &exited, &kernel, &user))
        return;
    ULONGLONG start = (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    GetProcessMemoryInfoFn info = Kernel<GetProcessMemoryInfoFn>("K32GetProcessMemoryInfo");
    if (info == nullptr || !info(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        memory.PrivateUsage = memory.WorkingSetSize = 0;

    FILE* file = fopen(g_state.path, "w");
    if (file == nullptr)
        return;
    fprintf(file, "first_paint_ms=%lu private_bytes=%lu working_set=%lu", Milliseconds(start, now),
            static_cast<unsigned long>(memory.PrivateUsage), static_cast<unsigned long>(memory.WorkingSetSize));
    for (int i = 0; i < g_state.markCount; ++i)
        fprintf(file, " %s_ms=%lu", g_state.marks[i].name, Milliseconds(start, g_state.marks[i].at));
    fprintf(file, "\n");
    fclose(file);
}

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
typedef void(WINAPI* GetSystemTimeFn)(FILETIME*);

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
    bool enabled = false;
    bool reported = false;
    char path[MAX_PATH] = {};
    // The precise wall clock of Windows 8 and later, else the ordinary one.
    GetSystemTimeFn clock = nullptr;
    Mark marks[kMaxMarks];
    int markCount = 0;
    Mark moments[kMaxMarks];
    int momentCount = 0;
};
State g_state;

// True when the variable names a file.
bool Enabled()
{
    if (!g_state.looked) {
        g_state.looked = true;
        GetEnvironmentVariableFn get = Kernel<GetEnvironmentVariableFn>("GetEnvironmentVariableA");
        DWORD length = get != nullptr ? get("WAVORIN_FIRST_PAINT", g_state.path, MAX_PATH) : 0;
        g_state.enabled = length > 0 && length < MAX_PATH;
        if (g_state.enabled)
            g_state.clock = Kernel<GetSystemTimeFn>("GetSystemTimePreciseAsFileTime");
        if (g_state.clock == nullptr)
            g_state.clock = ::GetSystemTimeAsFileTime;
    }
    return g_state.enabled;
}

ULONGLONG Now()
{
    FILETIME now;
    g_state.clock(&now);
    return (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

// Milliseconds (in 100 ns units of FILETIME) since `start`.
unsigned long Milliseconds(ULONGLONG start, ULONGLONG at) { return static_cast<unsigned long>((at - start) / 10000); }

// Notes `name` at the present moment in `list` unless it is full.
bool Note(Mark* list, int& count, const char* name)
{
    if (count == kMaxMarks)
        return false;
    list[count].name = name;
    list[count].at = Now();
    ++count;
    return true;
}

} // namespace

void MarkStartupStep(const char* name)
{
    if (Enabled() && !g_state.reported)
        Note(g_state.marks, g_state.markCount, name);
}

void ReportFirstPaint()
{
    if (!Enabled() || g_state.reported)
        return;
    g_state.reported = true;
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

    FILE* file = fopen(g_state.path, "a");
    if (file == nullptr)
        return;
    fprintf(file, "first_paint_ms=%lu private_bytes=%lu working_set=%lu", Milliseconds(start, now),
            static_cast<unsigned long>(memory.PrivateUsage), static_cast<unsigned long>(memory.WorkingSetSize));
    for (int i = 0; i < g_state.markCount; ++i)
        fprintf(file, " %s_ms=%lu", g_state.marks[i].name, Milliseconds(start, g_state.marks[i].at));
    fprintf(file, "\n");
    fclose(file);
}

bool MarkMoment(const char* name) { return Enabled() && Note(g_state.moments, g_state.momentCount, name); }

void WriteMoments()
{
    if (!Enabled() || g_state.momentCount == 0)
        return;
    FILE* file = fopen(g_state.path, "a");
    if (file != nullptr) {
        // FILETIME counts 100 ns from 1601; the line counts microseconds from 1970.
        const ULONGLONG kUnixEpoch = 116444736000000000ULL;
        for (int i = 0; i < g_state.momentCount; ++i) {
            ULONGLONG us = (g_state.moments[i].at - kUnixEpoch) / 10;
            fprintf(file, "moment %s wall_us=%lu%06lu\n", g_state.moments[i].name,
                    static_cast<unsigned long>(us / 1000000), static_cast<unsigned long>(us % 1000000));
        }
        fclose(file);
    }
    g_state.momentCount = 0;
}

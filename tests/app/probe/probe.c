/* Measures the GDI and USER object headroom of a running program, where the
 * process's object counts cannot be read: it loads headroom.dll (beside this
 * program) into the first process of the given executable name, runs its
 * counting exports as threads there, unloads it and prints
 *   gdi <objects> user <objects>
 * Exit status 0, or 1 with a reason on standard error. */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <string.h>

static DWORD FindProcess(const char* name)
{
    PROCESSENTRY32 entry;
    DWORD found = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, name) == 0)
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

/* Runs start(argument) as a thread of the process; its exit code, or
 * 0xFFFFFFFF when it could not run within the time. */
static DWORD RunThere(HANDLE process, LPTHREAD_START_ROUTINE start, void* argument)
{
    DWORD code = 0xFFFFFFFFu;
    HANDLE thread = CreateRemoteThread(process, NULL, 0, start, argument, 0, NULL);
    if (!thread)
        return code;
    if (WaitForSingleObject(thread, 120000) != WAIT_OBJECT_0 || !GetExitCodeThread(thread, &code))
        code = 0xFFFFFFFFu;
    CloseHandle(thread);
    return code;
}

static int Fail(const char* what)
{
    fprintf(stderr, "headroom: %s (error %lu)\n", what, GetLastError());
    return 1;
}

int main(int argc, char** argv)
{
    char path[MAX_PATH];
    if (argc != 2) {
        fprintf(stderr, "usage: headroom <program.exe>\n");
        return 2;
    }
    DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (!length || !slash || (size_t)(slash - path) + sizeof "\\headroom.dll" > sizeof path)
        return Fail("no folder of its own");
    strcpy(slash, "\\headroom.dll");

    /* The exports lie at the same offsets from the module's base there. */
    HMODULE here = LoadLibraryA(path);
    if (!here)
        return Fail("cannot load headroom.dll");
    DWORD gdiOffset = (DWORD)((char*)GetProcAddress(here, "GdiHeadroom@4") - (char*)here);
    DWORD userOffset = (DWORD)((char*)GetProcAddress(here, "UserHeadroom@4") - (char*)here);
    FARPROC load = GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA");
    FARPROC unload = GetProcAddress(GetModuleHandleA("kernel32.dll"), "FreeLibrary");
    if (!GetProcAddress(here, "GdiHeadroom@4") || !GetProcAddress(here, "UserHeadroom@4") || !load || !unload)
        return Fail("missing entry points");

    DWORD pid = FindProcess(argv[1]);
    if (!pid)
        return Fail("no such process");
    HANDLE process = OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid);
    if (!process)
        return Fail("cannot open the process");
    void* remotePath = VirtualAllocEx(process, NULL, sizeof path, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath || !WriteProcessMemory(process, remotePath, path, strlen(path) + 1, NULL))
        return Fail("cannot write the library's path there");
    DWORD base = RunThere(process, (LPTHREAD_START_ROUTINE)(void*)load, remotePath);
    if (base == 0 || base == 0xFFFFFFFFu)
        return Fail("the library did not load there");
    DWORD gdi = RunThere(process, (LPTHREAD_START_ROUTINE)(ULONG_PTR)(base + gdiOffset), NULL);
    DWORD user = RunThere(process, (LPTHREAD_START_ROUTINE)(ULONG_PTR)(base + userOffset), NULL);
    RunThere(process, (LPTHREAD_START_ROUTINE)(void*)unload, (void*)(ULONG_PTR)base);
    VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    CloseHandle(process);
    if (gdi == 0xFFFFFFFFu || user == 0xFFFFFFFFu)
        return Fail("a count did not finish");
    printf("gdi %lu user %lu\n", gdi, user);
    return 0;
}

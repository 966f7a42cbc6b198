/* Loaded into a running program by headroom.exe: each export is started as a
 * thread of that program and answers, as the thread's exit code, how many
 * more objects of a kind the program can still create. Every object made is
 * destroyed again before the thread ends. */
#include <windows.h>

/* Far above the handle tables' sizes, so that the count ends at a failure. */
#define MOST 200000

typedef HANDLE (*MakeFn)(void);
typedef void (*FreeFn)(HANDLE);

static HANDLE MakeBitmap(void) { return CreateBitmap(1, 1, 1, 1, NULL); }
static void FreeBitmap(HANDLE h) { DeleteObject(h); }
static HANDLE MakeMenu(void) { return CreateMenu(); }
static void FreeMenu(HANDLE h) { DestroyMenu((HMENU)h); }

static DWORD Count(MakeFn make, FreeFn release)
{
    HANDLE* made = (HANDLE*)HeapAlloc(GetProcessHeap(), 0, MOST * sizeof(HANDLE));
    DWORD count = 0;
    if (!made)
        return 0xFFFFFFFFu;
    while (count < MOST && (made[count] = make()) != NULL)
        ++count;
    for (DWORD i = 0; i < count; ++i)
        release(made[i]);
    HeapFree(GetProcessHeap(), 0, made);
    return count;
}

/* GDI objects: 1 x 1 monochrome bitmaps. */
__declspec(dllexport) DWORD WINAPI GdiHeadroom(void* unused)
{
    (void)unused;
    return Count(MakeBitmap, FreeBitmap);
}

/* USER objects: empty menus. */
__declspec(dllexport) DWORD WINAPI UserHeadroom(void* unused)
{
    (void)unused;
    return Count(MakeMenu, FreeMenu);
}

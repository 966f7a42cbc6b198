// repaint_bench: the main skin in a real 800 x 600 window, laid out once,
// then full repaints of it against single BitBlts of the same size from a
// memory bitmap to the window. Rounds interleave both; each round's ratio is
// one sample. Prints one markdown table row: figure, min, median, budget,
// whether the median holds it; the milliseconds of both go to stderr.
//
// usage: repaint_bench [--steps] [repaints per round [pixels.raw]]
// A larger count gives a profiler more samples; with a file named, the
// window's 800 x 600 pixels (B, G, R, x, rows from the top) after the last
// repaint are written to it, so that two builds' drawings can be compared.
// --steps also prints where a repaint's time goes: the tree's paint into a
// memory bitmap, each control's own share of it, the copy to the window, and
// the least any repaint costs: a bare window of the same size whose paint
// only copies a memory bitmap.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "shell/WindowImplBase.h"
#include "ui/core/ContainerUI.h"
#include "ui/gfx/MemoryBitmap.h"

namespace {

const int kWidth = 800;
const int kHeight = 600;
const int kRounds = 7;
const int kPerRound = 40;
const double kBudget = 3.0;

// The program's main skin in a window of the framework's own base.
class SkinWindow : public WindowImplBase
{
public:
    const char* ClassName() const override { return "WavorinRepaintBench"; }
    void Notify(ui::UINotify&) override {}

protected:
    const char* SkinFolder() const override { return ""; }
    const char* SkinFile() const override { return "101"; }
};

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Seconds for `count` full repaints of the window.
double TimeRepaints(HWND window, int count, const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    for (int i = 0; i < count; ++i) {
        ::InvalidateRect(window, nullptr, FALSE);
        ::UpdateWindow(window);
    }
    ::GdiFlush();
    ::QueryPerformanceCounter(&to);
    return Seconds(from, to, frequency);
}

// Seconds for `count` BitBlts of the whole client area into the window.
double TimeBlits(HWND window, HDC source, int count, const LARGE_INTEGER& frequency)
{
    HDC target = ::GetDC(window);
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    for (int i = 0; i < count; ++i)
        ::BitBlt(target, 0, 0, kWidth, kHeight, source, 0, 0, SRCCOPY);
    ::GdiFlush();
    ::QueryPerformanceCounter(&to);
    ::ReleaseDC(window, target);
    return Seconds(from, to, frequency);
}

// Microseconds per paint of `control` (children included) into `dc`.
double PaintMicroseconds(ui::CControlUI* control, HDC dc, int count, const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER from, to;
    ::QueryPerformanceCounter(&from);
    for (int i = 0; i < count; ++i)
        control->Paint(dc, control->GetBounds());
    ::GdiFlush();
    ::QueryPerformanceCounter(&to);
    return 1e6 * Seconds(from, to, frequency) / count;
}

// Prints each visible control's own microseconds per paint (its paint less
// its children's), indented by depth; returns its paint's with children.
double PrintSteps(ui::CControlUI* control, HDC dc, int depth, int count, const LARGE_INTEGER& frequency)
{
    double total = PaintMicroseconds(control, dc, count, frequency);
    double children = 0;
    auto* list = static_cast<ui::IContainerUI*>(control->FindInterface("IContainer"));
    for (int i = 0; list != nullptr && i < list->GetChildCount(); ++i) {
        if (list->GetChildAt(i)->IsVisible())
            children += PrintSteps(list->GetChildAt(i), dc, depth + 1, count, frequency);
    }
    fprintf(stderr, "%*s%s %s: own %.1f us, with children %.1f us\n", 2 * depth, "", control->GetClassName(),
            control->GetName(), total - children, total);
    return total;
}

HDC s_bareSource = nullptr;

LRESULT CALLBACK BareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(window, &ps);
    ::BitBlt(dc, 0, 0, kWidth, kHeight, s_bareSource, 0, 0, SRCCOPY);
    ::EndPaint(window, &ps);
    return 0;
}

// Microseconds per repaint of a bare window that copies `source` to itself.
double BareRepaintMicroseconds(HDC source, int count, const LARGE_INTEGER& frequency)
{
    WNDCLASSA type = {};
    type.lpfnWndProc = BareWindowProc;
    type.hInstance = ::GetModuleHandleA(nullptr);
    type.lpszClassName = "WavorinRepaintBenchBare";
    ::RegisterClassA(&type);
    HWND window = ::CreateWindowExA(0, type.lpszClassName, "bare", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                    nullptr, nullptr, type.hInstance, nullptr);
    if (window == nullptr)
        return 0;
    s_bareSource = source;
    ::UpdateWindow(window);
    double seconds = TimeRepaints(window, count, frequency);
    ::DestroyWindow(window);
    return 1e6 * seconds / count;
}

// Writes the window's pixels, as the last repaint left them, to `path`.
bool SavePixels(HWND window, const char* path)
{
    HDC screen = ::GetDC(window);
    ui::CMemoryBitmapUI copy(screen, kWidth, kHeight);
    if (copy.IsReady())
        ::BitBlt(copy.GetDC(), 0, 0, kWidth, kHeight, screen, 0, 0, SRCCOPY);
    ::ReleaseDC(window, screen);
    ::GdiFlush();
    FILE* file = copy.IsReady() ? fopen(path, "wb") : nullptr;
    if (file == nullptr)
        return false;
    size_t count = static_cast<size_t>(kWidth) * kHeight;
    bool written = fwrite(copy.GetBits(), 4, count, file) == count;
    return fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    bool steps = argc > 1 && strcmp(argv[1], "--steps") == 0;
    if (steps) {
        --argc;
        ++argv;
    }
    int perRound = argc > 1 ? atoi(argv[1]) : kPerRound;
    if (perRound <= 0)
        perRound = kPerRound;
    ui::CWindowHostUI::SetProgramInstance(::GetModuleHandleA(nullptr));
    SkinWindow frame;
    HWND window = frame.Create(nullptr, "repaint bench", WS_POPUP | WS_VISIBLE, 0, 0, 0, kWidth, kHeight);
    if (window == nullptr) {
        fprintf(stderr, "repaint_bench: the window could not be created\n");
        return 1;
    }
    // The first paint lays the tree out; the rounds repaint a laid-out tree.
    ::UpdateWindow(window);
    HDC screen = ::GetDC(window);
    ui::CMemoryBitmapUI source(screen, kWidth, kHeight);
    ::ReleaseDC(window, screen);
    if (!source.IsReady()) {
        fprintf(stderr, "repaint_bench: no memory bitmap\n");
        return 1;
    }
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    TimeRepaints(window, 2, frequency);

    std::vector<double> ratios;
    for (int round = 0; round < kRounds; ++round) {
        double blits = TimeBlits(window, source.GetDC(), perRound, frequency);
        double repaints = TimeRepaints(window, perRound, frequency);
        ratios.push_back(repaints / blits);
        fprintf(stderr, "round %d: repaint %.3f ms, BitBlt %.3f ms\n", round + 1, 1000 * repaints / perRound,
                1000 * blits / perRound);
    }
    std::sort(ratios.begin(), ratios.end());
    double median = ratios[ratios.size() / 2];
    // The row is UTF-8 whatever the narrow strings' character set: × and ≤ are spelt in bytes.
    printf("| full repaint 800\xC3\x97" "600 vs one BitBlt (%d rounds) | %.2f\xC3\x97 | %.2f\xC3\x97 | "
           "\xE2\x89\xA4 %.0f\xC3\x97 | %s |\n",
           kRounds,
           ratios.front(), median, kBudget, median <= kBudget ? "yes" : "no");
    bool saved = argc <= 2 || SavePixels(window, argv[2]);
    if (!saved)
        fprintf(stderr, "repaint_bench: %s could not be written\n", argv[2]);
    if (steps) {
        ui::CControlUI* root = frame.GetHost().GetRootControl();
        double tree = PrintSteps(root, source.GetDC(), 0, perRound, frequency);
        double blit = 1e6 * TimeBlits(window, source.GetDC(), perRound, frequency) / perRound;
        double repaint = 1e6 * TimeRepaints(window, perRound, frequency) / perRound;
        fprintf(stderr, "repaint %.1f us = tree %.1f + copy to the window %.1f + the rest %.1f\n", repaint, tree,
                blit, repaint - tree - blit);
        fprintf(stderr, "a bare window's repaint (a copy of a memory bitmap): %.1f us\n",
                BareRepaintMicroseconds(source.GetDC(), perRound, frequency));
    }
    ::DestroyWindow(window);
    return saved ? 0 : 1;
}

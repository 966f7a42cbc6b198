// repaint_bench: the main skin in a real 800 x 600 window, laid out once,
// then full repaints of it against the repaints of a bare window of the same
// size whose paint only copies a memory bitmap, the least any repaint costs
// (under wine the paint message's own way through the wine server is most of
// it). Rounds interleave both, and single BitBlts of the same size from a
// memory bitmap to the window; each round's ratio is one sample. Prints two
// markdown table rows (figure, min, median, budget, whether the median holds
// it): the ratio, and the milliseconds of a full repaint with the medians of
// the other two; then a line "repaint_ms=<median>" for tools/bench.sh. Each
// round's milliseconds go to stderr.
//
// usage: repaint_bench [--steps] [repaints per round [pixels.raw]]
// A larger count gives a profiler more samples; with a file named, the
// window's 800 x 600 pixels (B, G, R, x, rows from the top) after the last
// repaint are written to it, so that two builds' drawings can be compared.
// --steps also prints where a repaint's time goes: the tree's paint into a
// memory bitmap, each control's own share of it, the copy to the window, and
// the bare window's repaint.

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
const double kBudget = 1.3;

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

// A bare window over the skin's whose paint copies `source` to itself,
// hidden until it is timed.
HWND CreateBareWindow(HDC source)
{
    WNDCLASSA type = {};
    type.lpfnWndProc = BareWindowProc;
    type.hInstance = ::GetModuleHandleA(nullptr);
    type.lpszClassName = "WavorinRepaintBenchBare";
    ::RegisterClassA(&type);
    s_bareSource = source;
    return ::CreateWindowExA(0, type.lpszClassName, "bare", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                             type.hInstance, nullptr);
}

// Handles what is pending, so that a timed loop starts with a quiet queue.
void Drain(HWND window)
{
    ::UpdateWindow(window);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Seconds for `count` repaints of the bare window, shown over the skin's for
// the while.
double TimeBareRepaints(HWND bare, int count, const LARGE_INTEGER& frequency)
{
    ::ShowWindow(bare, SW_SHOWNOACTIVATE);
    Drain(bare);
    double seconds = TimeRepaints(bare, count, frequency);
    ::ShowWindow(bare, SW_HIDE);
    return seconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
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

    HWND bare = CreateBareWindow(source.GetDC());
    if (bare == nullptr) {
        fprintf(stderr, "repaint_bench: the bare window could not be created\n");
        return 1;
    }
    TimeBareRepaints(bare, 2, frequency);

    std::vector<double> ratios, repaintMs, bareMs, blitMs;
    for (int round = 0; round < kRounds; ++round) {
        double bareSeconds = TimeBareRepaints(bare, perRound, frequency);
        Drain(window);
        double repaints = TimeRepaints(window, perRound, frequency);
        double blits = TimeBlits(window, source.GetDC(), perRound, frequency);
        ratios.push_back(repaints / bareSeconds);
        repaintMs.push_back(1000 * repaints / perRound);
        bareMs.push_back(1000 * bareSeconds / perRound);
        blitMs.push_back(1000 * blits / perRound);
        fprintf(stderr, "round %d: repaint %.3f ms, bare window's repaint %.3f ms, BitBlt %.3f ms\n", round + 1,
                repaintMs.back(), bareMs.back(), blitMs.back());
    }
    double median = Median(ratios);
    // The rows are UTF-8 whatever the narrow strings' character set: ×, ≤ and — are spelt in bytes.
    printf("| full repaint 800\xC3\x97" "600 vs a bare window's repaint of the same size (%d rounds) | "
           "%.2f\xC3\x97 | %.2f\xC3\x97 | \xE2\x89\xA4 %.1f\xC3\x97 | %s |\n",
           kRounds, *std::min_element(ratios.begin(), ratios.end()), median, kBudget, median <= kBudget ? "yes" : "no");
    printf("| full repaint 800\xC3\x97" "600, ms (medians: bare window's repaint %.3f ms, one BitBlt %.3f ms) | "
           "%.3f | %.3f | \xE2\x80\x94 | \xE2\x80\x94 |\n",
           Median(bareMs), Median(blitMs), *std::min_element(repaintMs.begin(), repaintMs.end()), Median(repaintMs));
    printf("repaint_ms=%.3f\n", Median(repaintMs));
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
                1e6 * TimeBareRepaints(bare, perRound, frequency) / perRound);
    }
    ::DestroyWindow(bare);
    ::DestroyWindow(window);
    return saved ? 0 : 1;
}

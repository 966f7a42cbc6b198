// Measures how long one layout pass over a tree of about 10,000 controls
// takes. Built with the tests but not registered as one; run it by hand:
//   wine-run.sh layout_benchmark.exe
#include <windows.h>

#include <stdio.h>

#include "ui/core/ControlUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowHostUI.h"

using namespace ui;

namespace {

double Now()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Rows of mixed fixed and stretch controls with paddings and limits.
CControlUI* BuildGrid(int rows, int columns, int* count)
{
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetAttribute("childpadding", "1");
    *count = 1;
    for (int r = 0; r < rows; ++r) {
        CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
        row->SetAttribute("childpadding", "2");
        if (r % 3 == 0)
            row->SetAttribute("height", "20");
        root->AddChild(row);
        ++*count;
        for (int c = 0; c < columns; ++c) {
            CControlUI* cell = new CControlUI;
            if (c % 4 == 0)
                cell->SetAttribute("width", "12");
            if (c % 5 == 0)
                cell->SetAttribute("padding", "1,1,1,1");
            if (c % 7 == 0)
                cell->SetAttribute("maxwidth", "30");
            row->AddChild(cell);
            ++*count;
        }
    }
    return root;
}

// A tree ten wide at every level, alternating the axis.
CControlUI* BuildNested(int depth, int* count)
{
    ++*count;
    if (depth == 0)
        return new CControlUI;
    CContainerUI* layout = depth % 2 == 0 ? static_cast<CContainerUI*>(new CVerticalLayoutUI)
                                          : static_cast<CContainerUI*>(new CHorizontalLayoutUI);
    for (int i = 0; i < 10; ++i)
        layout->AddChild(BuildNested(depth - 1, count));
    return layout;
}

void Measure(const char* shape, CControlUI* root, int count)
{
    const int passes = 200;
    RECT sizes[2] = { { 0, 0, 1600, 1200 }, { 0, 0, 1280, 1024 } };
    root->SetBounds(sizes[0]);
    double start = Now();
    for (int i = 0; i < passes; ++i)
        root->SetBounds(sizes[i % 2]);
    double elapsed = Now() - start;
    printf("%-28s %6d controls: %8.3f ms per layout (%d passes, %.2f s)\n", shape, count,
           elapsed * 1000.0 / passes, passes, elapsed);
}

} // namespace

int main()
{
    int count = 0;
    CControlUI* grid = BuildGrid(100, 99, &count);
    Measure("100 rows x 99 controls", grid, count);
    delete grid;

    // Attached to a host (without a window), as in a running program: every
    // placement also runs the size listeners and the repaint clipping.
    {
        CWindowHostUI host;
        count = 0;
        host.AttachRoot(BuildGrid(100, 99, &count));
        Measure("same, attached to a host", host.GetRootControl(), count);
    }

    count = 0;
    CControlUI* nested = BuildNested(4, &count);
    Measure("nested, 10 wide, 4 deep", nested, count);
    delete nested;
    return 0;
}

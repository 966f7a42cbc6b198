// Layout in a host window: the first layout of a tree of about 10,000
// controls, and the relayout the host performs after one control changes
// size, in that tree and in one of about 1,000 controls, so that a relayout
// that grows with the tree instead of with the change shows. Each figure is
// taken once per round, the rounds interleaved; stdout gets one markdown
// row per figure: | figure | minimum | median | budget | holds |.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "ui/core/ControlUI.h"
#include "ui/core/HorizontalLayoutUI.h"
#include "ui/core/VerticalLayoutUI.h"
#include "ui/core/WindowHostUI.h"
// The window whose messages go to its host, as the window tests have it.
#include "tests/ui/core/HostTestSupport.h"

using namespace ui;

namespace {

const int kRounds = 7;
// Relayouts per round; a round's figure is their median, so that one
// preempted relayout on a loaded machine does not make the round's figure.
const int kChanges = 21;
const int kWidth = 1600;
const int kHeight = 1200;

// Written as escapes: the execution character set is not UTF-8.
const char* const kMicro = "\xC2\xB5s";
const char* const kDash = "\xE2\x80\x94";
const char* const kAtMost = "\xE2\x89\xA4";

double Now()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Rows of mixed fixed and stretch controls with paddings and limits; the
// control at `changed` is one of fixed width.
CControlUI* BuildGrid(int rows, int columns, CControlUI** changed)
{
    CVerticalLayoutUI* root = new CVerticalLayoutUI;
    root->SetAttribute("childpadding", "1");
    for (int r = 0; r < rows; ++r) {
        CHorizontalLayoutUI* row = new CHorizontalLayoutUI;
        row->SetAttribute("childpadding", "2");
        if (r % 3 == 0)
            row->SetAttribute("height", "20");
        root->AddChild(row);
        for (int c = 0; c < columns; ++c) {
            CControlUI* cell = new CControlUI;
            if (c % 4 == 0)
                cell->SetAttribute("width", "12");
            if (c % 5 == 0)
                cell->SetAttribute("padding", "1,1,1,1");
            if (c % 7 == 0)
                cell->SetAttribute("maxwidth", "30");
            row->AddChild(cell);
            if (r == rows / 2 && c == columns / 2 / 4 * 4)
                *changed = cell;
        }
    }
    return root;
}

// Ten wide at every level, the axis alternating; every third leaf has a
// height. `changed` is a leaf in the middle.
CControlUI* BuildNested(int depth, CControlUI** changed, int* leaves)
{
    if (depth == 0) {
        CControlUI* leaf = new CControlUI;
        if (*leaves % 3 == 0)
            leaf->SetAttribute("height", "8");
        if (++*leaves == 5555)
            *changed = leaf;
        return leaf;
    }
    CContainerUI* layout = depth % 2 == 0 ? static_cast<CContainerUI*>(new CVerticalLayoutUI)
                                          : static_cast<CContainerUI*>(new CHorizontalLayoutUI);
    for (int i = 0; i < 10; ++i)
        layout->AddChild(BuildNested(depth - 1, changed, leaves));
    return layout;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times in seconds of one round over one tree.
struct Round {
    double layout;
    double relayout;
};

// A hidden window of kWidth x kHeight: the layout needs only its client
// rectangle, and nothing is painted.
Round Measure(CControlUI* root, CControlUI* changed, bool acrossAxis)
{
    hosttest::HostWindow window;
    window.Create(nullptr, "layout bench", WS_POPUP, 0, 0, 0, kWidth, kHeight);
    CWindowHostUI* host = new CWindowHostUI;
    window.host = host;
    host->AttachWindow(window.GetWindowHandle());
    host->AttachRoot(root);

    Round round;
    double start = Now();
    host->UpdateLayout();
    round.layout = Now() - start;

    std::vector<double> times;
    for (int i = 0; i < kChanges; ++i) {
        int size = i % 2 == 0 ? 20 : 12;
        if (acrossAxis)
            changed->SetPresetHeight(size - 4);
        else
            changed->SetPresetWidth(size);
        start = Now();
        host->UpdateLayout();
        times.push_back(Now() - start);
        if ((acrossAxis ? changed->GetHeight() : changed->GetWidth()) != (acrossAxis ? size - 4 : size)) {
            fprintf(stderr, "layout_bench: the changed control was not placed\n");
            exit(1);
        }
    }
    round.relayout = Median(times);

    ::DestroyWindow(window.GetWindowHandle());
    window.host = nullptr;
    delete host;
    return round;
}

struct Figure {
    double scale; // seconds to the unit of the name
    std::vector<double> values;

    double Min() const { return *std::min_element(values.begin(), values.end()) * scale; }
    double Median() const { return ::Median(values) * scale; }
};

void PrintRow(const char* name, const char* unit, const Figure& f, const char* budget, const char* holds)
{
    printf("| %s (%s) | %.3f | %.3f | %s | %s |\n", name, unit, f.Min(), f.Median(), budget, holds);
}

} // namespace

int main()
{
    Figure layout10k = { 1e3, {} };
    Figure relayout10k = { 1e6, {} };
    Figure layout1k = { 1e3, {} };
    Figure relayout1k = { 1e6, {} };
    Figure layoutNested = { 1e3, {} };
    Figure relayoutNested = { 1e6, {} };
    for (int r = 0; r < kRounds; ++r) {
        CControlUI* changed = nullptr;
        CControlUI* root = BuildGrid(100, 99, &changed);
        Round big = Measure(root, changed, false);
        layout10k.values.push_back(big.layout);
        relayout10k.values.push_back(big.relayout);

        root = BuildGrid(10, 99, &changed);
        Round small = Measure(root, changed, false);
        layout1k.values.push_back(small.layout);
        relayout1k.values.push_back(small.relayout);

        int leaves = 0;
        root = BuildNested(4, &changed, &leaves);
        Round nested = Measure(root, changed, true);
        layoutNested.values.push_back(nested.layout);
        relayoutNested.values.push_back(nested.relayout);
    }

    char budget[64];
    snprintf(budget, sizeof budget, "%s 2%s the 1k relayout", kAtMost, "\xC3\x97");
    bool holds = relayout10k.Median() <= 2 * relayout1k.Median();
    PrintRow("first layout, 10,001 controls: 100 rows of 99", "ms", layout10k, kDash, kDash);
    PrintRow("relayout after one control's width changes, 10,001 controls", kMicro, relayout10k, budget,
             holds ? "yes" : "no");
    PrintRow("first layout, 1,001 controls: 10 rows of 99", "ms", layout1k, kDash, kDash);
    PrintRow("relayout after one control's width changes, 1,001 controls", kMicro, relayout1k, kDash, kDash);
    PrintRow("first layout, 11,111 controls nested 10 wide, 4 deep", "ms", layoutNested, kDash, kDash);
    PrintRow("relayout after one leaf's height changes, 11,111 nested controls", kMicro, relayoutNested,
             kDash, kDash);
    return 0;
}

// The pieces of the window host that need no window, in both trees (natively
// under the sanitizers): control timers, posted notifications and delayed
// deletion, tab order and option groups. Controls are stood in for by
// objects of the tests' own, seen through CControlUI pointers.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/core/ControlTimersUI.h"
#include "ui/core/NotificationQueueUI.h"
#include "ui/core/OptionGroupsUI.h"
#include "ui/core/TabOrderUI.h"

using namespace ui;

namespace {

struct Stand
{
    int id;
    std::vector<Stand*>* handsOver; // deleted with it: handed to the list
};

CControlUI* As(Stand& stand) { return reinterpret_cast<CControlUI*>(&stand); }

// ---- control timers ----------------------------------------------------------

class FakeTimers : public ITimerPlatformUI
{
public:
    bool StartTimer(UITimerWindow window, unsigned id, unsigned elapseMs) override
    {
        log.push_back("start " + Name(window) + ":" + std::to_string(id) + "/" + std::to_string(elapseMs));
        return !refuse;
    }
    void StopTimer(UITimerWindow window, unsigned id) override
    {
        log.push_back("stop " + Name(window) + ":" + std::to_string(id));
    }
    std::string Name(UITimerWindow window) const { return window == &windowA ? "A" : "B"; }

    int windowA = 0, windowB = 0;
    bool refuse = false;
    std::vector<std::string> log;
};

TEST(ControlTimersTest, NumbersRecordsAndReusesTimers)
{
    FakeTimers platform;
    Stand a { 1, nullptr }, b { 2, nullptr };
    UITimerWindow wa = &platform.windowA, wb = &platform.windowB;
    {
        CControlTimersUI timers(platform);
        EXPECT_TRUE(timers.Set(wa, As(a), 1, 1000));
        EXPECT_TRUE(timers.Set(wa, As(a), 2, 50));
        EXPECT_FALSE(timers.Set(wa, As(a), 1, 1000)); // runs already
        EXPECT_FALSE(timers.Set(wa, nullptr, 1, 10));
        EXPECT_FALSE(timers.Set(nullptr, As(b), 1, 10));
        EXPECT_TRUE(timers.Set(wb, As(b), 1, 10));

        CControlUI* control = nullptr;
        unsigned local = 0;
        ASSERT_TRUE(timers.Find(wa, 18, control, local));
        EXPECT_EQ(As(a), control);
        EXPECT_EQ(2u, local);
        EXPECT_FALSE(timers.Find(wb, 18, control, local));

        // Killed, the record keeps its id, and setting it again reuses it.
        EXPECT_TRUE(timers.Kill(wa, As(a), 1));
        EXPECT_FALSE(timers.Kill(wa, As(a), 1));
        EXPECT_FALSE(timers.Find(wa, 17, control, local));
        EXPECT_TRUE(timers.Set(wa, As(a), 1, 500));
        EXPECT_TRUE(timers.Find(wa, 17, control, local));

        // A control that goes takes every timer of its own along.
        timers.KillAll(wa, As(a));
        EXPECT_EQ(1, timers.GetCount());
        EXPECT_FALSE(timers.Find(wa, 17, control, local));
        platform.refuse = true;
        EXPECT_FALSE(timers.Set(wa, As(a), 3, 10));
        EXPECT_EQ(1, timers.GetCount());
    }
    const std::vector<std::string> expected = {
        "start A:17/1000", "start A:18/50", "start B:19/10", "stop A:17", "start A:17/500",
        "stop A:18",       "stop A:17",     "start A:20/10", "stop B:19",
    };
    EXPECT_EQ(expected, platform.log);
}

TEST(ControlTimersTest, TakenIdsAreSkippedUntilNoneIsLeft)
{
    FakeTimers platform;
    UITimerWindow wa = &platform.windowA;
    std::vector<Stand> stands(CControlTimersUI::kIdCount + 1, Stand { 0, nullptr });
    CControlTimersUI timers(platform);
    for (unsigned i = 0; i < CControlTimersUI::kIdCount; ++i)
        ASSERT_TRUE(timers.Set(wa, As(stands[i]), 1, 10)) << i;
    EXPECT_FALSE(timers.Set(wa, As(stands.back()), 1, 10));
    // A killed record still holds its id.
    ASSERT_TRUE(timers.Kill(wa, As(stands[5]), 1));
    EXPECT_FALSE(timers.Set(wa, As(stands.back()), 1, 10));
    timers.KillAll(wa, As(stands[5]));
    EXPECT_TRUE(timers.Set(wa, As(stands.back()), 1, 10));
    EXPECT_EQ("start A:22/10", platform.log.back()); // the id stands[5] had
}

// ---- posted notifications and delayed deletion ------------------------------------

TEST(NotificationQueueTest, FirstInFirstOutAndDroppedForAGoneSender)
{
    Stand a { 1, nullptr }, b { 2, nullptr };
    CNotificationQueueUI queue;
    const struct
    {
        Stand* sender;
        const char* type;
    } posted[] = {
        { &a, "click" }, { &b, "itemselect" }, { &a, "timer" }, { nullptr, "windowinit" }, { &b, "setfocus" }
    };
    for (const auto& p : posted) {
        UINotify notify;
        notify.type = p.type;
        notify.sender = p.sender != nullptr ? As(*p.sender) : nullptr;
        notify.wParam = 7;
        ASSERT_TRUE(queue.Push(notify));
    }
    queue.DropLast();
    queue.DropFor(As(a));
    std::vector<std::string> delivered;
    UINotify notify;
    while (queue.TakeFirst(notify))
        delivered.push_back(std::string(notify.type.GetData()) + ":" + std::to_string(notify.wParam));
    EXPECT_EQ((std::vector<std::string> { "itemselect:7", "windowinit:7" }), delivered);
    EXPECT_FALSE(queue.TakeFirst(notify));

    // What is still queued goes with the queue.
    CNotificationQueueUI* left = new CNotificationQueueUI;
    left->Push(notify);
    delete left;
}

std::vector<int> g_deleted;
CDeleteLaterUI* g_later = nullptr;

// Deletes a stand; like a container that deletes its children later, it
// hands them to the list first.
void DeleteStand(CControlUI* control)
{
    Stand* stand = reinterpret_cast<Stand*>(control);
    g_deleted.push_back(stand->id);
    if (stand->handsOver != nullptr) {
        for (Stand* child : *stand->handsOver)
            g_later->Add(As(*child));
        delete stand->handsOver;
    }
    delete stand;
}

TEST(DeleteLaterTest, WhatADeletionHandsOverGoesInTheSameCall)
{
    g_deleted.clear();
    CDeleteLaterUI later(DeleteStand);
    g_later = &later;
    Stand* parent
        = new Stand { 1, new std::vector<Stand*> { new Stand { 2, nullptr }, new Stand { 3, nullptr } } };
    Stand* other = new Stand { 4, nullptr };
    ASSERT_TRUE(later.Add(As(*parent)));
    ASSERT_TRUE(later.Add(As(*other)));
    EXPECT_TRUE(later.Contains(As(*other)));
    later.DeleteAll();
    EXPECT_EQ((std::vector<int> { 1, 4, 2, 3 }), g_deleted);
    EXPECT_EQ(0, later.GetCount());
    // The rest goes when the list does.
    later.Add(As(*new Stand { 5, nullptr }));
}

// ---- tab order ---------------------------------------------------------------------

// A tree flattened in visiting order; '*' marks a tab stop.
class FlatTree : public ITabWalkUI
{
public:
    explicit FlatTree(const char* marks)
    {
        for (int i = 0; marks[i] != '\0'; ++i)
            nodes.push_back(Node { Stand { i, nullptr }, marks[i] == '*' });
    }
    CControlUI* Walk(CTabSearchUI& search) const override
    {
        for (const Node& node : nodes) {
            if (CControlUI* found = search.Offer(At(node.stand.id), node.tabStop))
                return found;
        }
        return nullptr;
    }
    CControlUI* At(int index) const
    {
        return index < 0 ? nullptr : As(const_cast<Stand&>(nodes[index].stand));
    }
    int IndexOf(const CControlUI* control) const
    {
        return control == nullptr ? -1 : reinterpret_cast<const Stand*>(control)->id;
    }

private:
    struct Node
    {
        Stand stand;
        bool tabStop;
    };
    std::vector<Node> nodes;
};

TEST(TabOrderTest, NextAndPreviousTabStopWrapAround)
{
    const struct
    {
        const char* tree;
        int from; // -1: no focus
        bool forward;
        int expected; // -1: none
    } rows[] = {
        { "*.**", -1, true, 0 }, { "*.**", -1, false, 0 }, { "*.**", 0, true, 2 },  { "*.**", 2, true, 3 },
        { "*.**", 3, true, 0 },  { "*.**", 0, false, 3 },  { "*.**", 3, false, 2 }, { "*.**", 2, false, 0 },
        { ".*..*", 0, true, 1 }, { ".*..*", 2, false, 1 }, { ".*..*", 3, true, 4 }, { ".*..*", 0, false, 4 },
        { "*", 0, true, 0 },     { "*", 0, false, -1 },    { "....", 1, true, -1 }, { "....", -1, false, -1 },
        { "", -1, true, -1 },
    };
    for (const auto& row : rows) {
        FlatTree tree(row.tree);
        CControlUI* found = FindTabStop(tree, tree.At(row.from), row.forward);
        EXPECT_EQ(row.expected, tree.IndexOf(found))
            << row.tree << " from " << row.from << (row.forward ? " forward" : " backward");
    }
}

// ---- option groups -----------------------------------------------------------------

TEST(OptionGroupsTest, MembersInOrderAndEmptyGroupsGo)
{
    Stand a { 1, nullptr }, b { 2, nullptr };
    COptionGroupsUI groups;
    EXPECT_FALSE(groups.Join(nullptr, As(a)));
    EXPECT_TRUE(groups.Join("sex", As(a)));
    EXPECT_TRUE(groups.Join("sex", As(b)));
    EXPECT_FALSE(groups.Join("sex", As(a)));
    EXPECT_TRUE(groups.Join("size", As(a)));
    ASSERT_NE(nullptr, groups.GetMembers("sex"));
    EXPECT_EQ(2, groups.GetMembers("sex")->GetSize());
    EXPECT_EQ(As(b), groups.GetMembers("sex")->GetAt(1));
    groups.Leave("sex", As(a));
    groups.Leave("sex", As(a));
    groups.Leave("nothing", As(a));
    EXPECT_EQ(As(b), groups.GetMembers("sex")->GetAt(0));
    groups.Leave("sex", As(b));
    EXPECT_EQ(nullptr, groups.GetMembers("sex"));
    EXPECT_NE(nullptr, groups.GetMembers("size")); // the rest goes with the groups
}

} // namespace

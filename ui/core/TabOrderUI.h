#pragma once

// Tab order over a control tree: the tab stop after (or before) a control,
// wrapping around at the ends. The tree is walked by whoever has it (the
// host, through the tree's own search); this only decides, control by
// control in visiting order, which one is the answer. Needs no window.

namespace ui {

class CControlUI;

class CTabSearchUI
{
public:
    // With a null `from` the first tab stop is the answer.
    CTabSearchUI(const CControlUI* from, bool forward)
        : m_from(from)
        , m_last(nullptr)
        , m_forward(forward)
        , m_passedFrom(false)
    { }

    // The next visited control; returns the answer when this one decides
    // it (the walk then stops), else null.
    CControlUI* Offer(CControlUI* control, bool tabStop);
    // The last tab stop offered: backwards from the first, the answer is
    // the tree's last tab stop.
    CControlUI* Last() const { return m_last; }

private:
    const CControlUI* m_from;
    CControlUI* m_last;
    bool m_forward;
    bool m_passedFrom;
};

// Walks a tree in visiting order, offering each control to the search,
// until the search answers; returns its answer or null.
class ITabWalkUI
{
public:
    virtual CControlUI* Walk(CTabSearchUI& search) const = 0;

protected:
    ~ITabWalkUI() = default;
};

// The tab stop after (or before) `from`, wrapping around; with a null
// `from`, the first tab stop. Null only when the tree has no tab stop.
CControlUI* FindTabStop(const ITabWalkUI& tree, const CControlUI* from, bool forward);

} // namespace ui

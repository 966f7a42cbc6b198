#pragma once

// Helpers shared by the control tree tests: rectangles and bounds checks
// that say which edge was off.

#include <gtest/gtest.h>
#include <windows.h>

#include "ui/core/ControlUI.h"

namespace ui {
namespace test {

inline RECT Rect(int l, int t, int r, int b)
{
    RECT rc = { l, t, r, b };
    return rc;
}

inline ::testing::AssertionResult HasBounds(const CControlUI* c, int l, int t, int r, int b)
{
    const RECT& rc = c->GetBounds();
    if (rc.left == l && rc.top == t && rc.right == r && rc.bottom == b)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "bounds (" << rc.left << ", " << rc.top << ", " << rc.right << ", "
                                         << rc.bottom << "), expected (" << l << ", " << t << ", " << r << ", " << b
                                         << ")";
}

} // namespace test
} // namespace ui

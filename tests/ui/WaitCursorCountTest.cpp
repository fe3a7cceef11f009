// The wait cursor's count: busy only while work runs, idle while a modal
// window or message box waits for the user, whatever the nesting.
#include "ui/WaitCursorCount.h"

#include <gtest/gtest.h>

#include <vector>

namespace nw {
namespace {

struct CRecordingCount : CWaitCursorCount {
    std::vector<bool> changes;
    void OnBusyChanged(bool busy) override { changes.push_back(busy); }
};

TEST(WaitCursorCount, BusyOnlyWhileWorkRunsThroughNestedWaitsForTheUser) {
    CRecordingCount cursor;
    cursor.Raise(); // Manual Setting pressed
    {
        CWaitCursorCount::IdleScope window(cursor); // the window waits for the user
        EXPECT_FALSE(cursor.Busy());
        cursor.Raise(); // an operation in that window, which opens a port (nested)
        cursor.Raise();
        {
            CWaitCursorCount::IdleScope box(cursor); // its message box waits
            EXPECT_FALSE(cursor.Busy());
        }
        EXPECT_TRUE(cursor.Busy());
        cursor.Lower();
        cursor.Lower();
    }
    EXPECT_TRUE(cursor.Busy()); // back in the handler that opened the window
    cursor.Lower();
    // Every flip reported once, in order; no reports without a flip.
    EXPECT_EQ(cursor.changes,
              (std::vector<bool>{true, false, true, false, true, false, true, false}));

    // A handler that ended while a box was up lowers the count under the
    // idle part: neither negative nor hiding later work.
    cursor.Raise();
    {
        CWaitCursorCount::IdleScope idle(cursor);
        cursor.Lower();
        cursor.Lower();
        EXPECT_EQ(cursor.Raised(), 0);
    }
    cursor.Raise();
    EXPECT_TRUE(cursor.Busy());
}

} // namespace
} // namespace nw

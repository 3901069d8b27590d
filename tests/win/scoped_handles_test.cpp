// The scoped owners against the real API: each gives back what it holds once, and only what it holds.
#include "common/scoped_handles.h"

#include <gtest/gtest.h>

namespace {

bool Open(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

TEST(ScopedHandles, KernelHandleClosedAtScopeEndUnlessReleased) {
    HANDLE owned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE replaced = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE released = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(owned != nullptr && replaced != nullptr && released != nullptr);
    {
        ScopedHandle first(replaced), second(released);
        *first.put() = owned;  // filling it again closes what it held
        EXPECT_FALSE(Open(replaced));
        EXPECT_EQ(second.release(), released);
        EXPECT_TRUE(Open(owned));
    }
    EXPECT_FALSE(Open(owned));
    EXPECT_TRUE(Open(released));
    CloseHandle(released);
}

struct Counted {
    int releases = 0;
    ULONG Release() { return ++releases; }
};

TEST(ScopedHandles, InterfaceReleasedOnceAndBeforeItIsFilledAgain) {
    Counted first, second;
    {
        ScopedComPtr<Counted> pointer;
        *pointer.put() = &first;
        *pointer.put() = &second;
        EXPECT_EQ(first.releases, 1);
        EXPECT_EQ(second.releases, 0);
    }
    EXPECT_EQ(first.releases, 1);
    EXPECT_EQ(second.releases, 1);
}

}  // namespace

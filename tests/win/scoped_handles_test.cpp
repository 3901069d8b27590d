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

TEST(ScopedHandles, RegistryKeyClosedAtScopeEnd) {
    const char path[] = "Software\\Kelpack Tests\\Scoped key";
    HKEY raw = nullptr;
    {
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                  nullptr),
                  ERROR_SUCCESS);
        raw = key.get();
        EXPECT_EQ(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_NE(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
}

// The DC gets its previous object back, and the object, out of the DC again, is deleted after it.
TEST(ScopedHandles, SelectionRestoresThePreviousObject) {
    ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.valid());
    const struct {
        UINT type;
        HGDIOBJ object;
    } cases[] = {
        {OBJ_BITMAP, CreateBitmap(4, 4, 1, 1, nullptr)},
        {OBJ_FONT, CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial")},
        {OBJ_BRUSH, CreateSolidBrush(RGB(1, 2, 3))},
        {OBJ_PEN, CreatePen(PS_SOLID, 1, RGB(1, 2, 3))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        ASSERT_NE(c.object, nullptr);
        const HGDIOBJ before = GetCurrentObject(dc.get(), c.type);
        {
            ScopedGdiObject<HGDIOBJ> object(c.object);
            ScopedSelection selected(dc.get(), object.get());
            EXPECT_EQ(GetCurrentObject(dc.get(), c.type), c.object);
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), c.type), before);
        EXPECT_EQ(GetObjectType(c.object), 0u);
    }
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

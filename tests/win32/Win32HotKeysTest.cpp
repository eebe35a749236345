#include <windows.h>
#include <gtest/gtest.h>

#include "Win32TestSupport.h"
#include "platform/win32/Win32HotKeys.h"

namespace vantrel {
namespace {

using testing::kSentinel;
using testing::LastErrorText;

constexpr int kModifiers = MOD_CONTROL | MOD_SHIFT;
constexpr int kKey = VK_F9;

WindowHandle Handle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

// Hidden windows: Wine takes them down at once, unlike visible ones.
TEST(Win32HotKeysTest, ACombinationHasOneOwnerUntilItIsUnregistered) {
    win32::Win32HotKeys hotkeys;
    const testing::TestWindow first(L"first", WS_OVERLAPPEDWINDOW);
    const testing::TestWindow second(L"second", WS_OVERLAPPEDWINDOW);

    SetLastError(kSentinel);
    ASSERT_NE(hotkeys.Register(Handle(first.get()), 0xC001, kModifiers, kKey), 0)
        << "Ctrl+Shift+F9 taken by someone else? " << LastErrorText();
    SetLastError(kSentinel);
    EXPECT_EQ(hotkeys.Register(Handle(second.get()), 0xC002, kModifiers, kKey), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HOTKEY_ALREADY_REGISTERED))
        << LastErrorText();
    EXPECT_EQ(hotkeys.Register(Handle(first.get()), 0xC003, kModifiers, kKey), 0)
        << "not even for its owner";
    EXPECT_NE(hotkeys.Register(Handle(first.get()), 0xC004, kModifiers | MOD_ALT, kKey), 0)
        << "another combination is free: " << LastErrorText();

    EXPECT_NE(hotkeys.Unregister(Handle(first.get()), 0xC001), 0) << LastErrorText();
    EXPECT_EQ(hotkeys.Unregister(Handle(first.get()), 0xC001), 0) << "already gone";
    EXPECT_NE(hotkeys.Register(Handle(second.get()), 0xC002, kModifiers, kKey), 0)
        << "freed by the unregistration: " << LastErrorText();

    EXPECT_NE(hotkeys.Unregister(Handle(second.get()), 0xC002), 0);
    EXPECT_NE(hotkeys.Unregister(Handle(first.get()), 0xC004), 0);
}

TEST(Win32HotKeysTest, ModifierMaskZeroRegistersTheBareKey) {
    win32::Win32HotKeys hotkeys;
    const testing::TestWindow window(L"bare", WS_OVERLAPPEDWINDOW);
    ASSERT_NE(hotkeys.Register(Handle(window.get()), 0xC010, 0, VK_F11), 0) << LastErrorText();
    EXPECT_EQ(RegisterHotKey(nullptr, 0xC011, 0, VK_F11), FALSE) << "F11 alone is taken";
    EXPECT_NE(hotkeys.Unregister(Handle(window.get()), 0xC010), 0);
}

}  // namespace
}  // namespace vantrel

#include <windows.h>
#include <gtest/gtest.h>

#include <memory>

#include "Win32TestSupport.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/Win32Keyboard.h"

namespace vantrel {
namespace {

using testing::LastErrorText;

std::vector<KeyEvent> Tap(std::uint16_t vk) {
    return {{vk, false}, {vk, true}};
}

std::vector<KeyEvent> Typed(const char* letters) {
    std::vector<KeyEvent> events;
    for (const char* c = letters; *c != '\0'; ++c) {
        const auto vk = static_cast<std::uint16_t>(*c - 'a' + 'A');
        events.push_back({vk, false});
        events.push_back({vk, true});
    }
    return events;
}

std::vector<KeyEvent> Held(std::uint16_t modifier, std::vector<KeyEvent> inner) {
    inner.insert(inner.begin(), KeyEvent{modifier, false});
    inner.push_back({modifier, true});
    return inner;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// A one-line text box in front, with the keyboard focus, like the source program's field.
// Shared by the suite: Wine takes seconds to take a visible window down.
class Win32KeyboardTest : public ::testing::Test {
  protected:
    struct Form {
        testing::TestWindow frame{testing::UniqueName(L"Vantrel keyboard test")};
        win32::UniqueHwnd edit{
            CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 10, 300,
                            24, frame.get(), nullptr, GetModuleHandleW(nullptr), nullptr)};
    };
    static void SetUpTestSuite() { form_ = std::make_unique<Form>(); }
    static void TearDownTestSuite() { form_.reset(); }
    void SetUp() override {
        ASSERT_TRUE(form_->edit) << "creating the edit control: " << LastErrorText();
        SetWindowTextW(form_->edit.get(), L"");
        SetForegroundWindow(form_->frame.get());
        SetFocus(form_->edit.get());
        ASSERT_TRUE(testing::PumpMessagesUntil([] { return GetFocus() == form_->edit.get(); }));
    }
    void TearDown() override {
        // No key may stay down for the next test.
        for (const int vk : {VK_SHIFT, VK_CONTROL, VK_MENU})
            keyboard_.Send({{static_cast<std::uint16_t>(vk), true}});
        testing::PumpMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    }
    static bool EditReads(const std::wstring& text) {
        return testing::PumpMessagesUntil([&] { return TextOf(form_->edit.get()) == text; },
                                          std::chrono::seconds(5));
    }
    static std::unique_ptr<Form> form_;
    win32::Win32Keyboard keyboard_;
};

std::unique_ptr<Win32KeyboardTest::Form> Win32KeyboardTest::form_;

TEST_F(Win32KeyboardTest, KeysArriveInOrderWithShiftHeldAndHomeIsTheHomeKey) {
    keyboard_.Send(Typed("ledger"));
    ASSERT_TRUE(EditReads(L"ledger")) << "read " << win32::Narrow(TextOf(form_->edit.get()));
    // Home goes to the line's start (not the keypad's 7); Shift holds for the key after it only.
    std::vector<KeyEvent> keys = Tap(VK_HOME);
    for (const KeyEvent& k : Held(VK_SHIFT, Typed("a"))) keys.push_back(k);
    for (const KeyEvent& k : Typed("b")) keys.push_back(k);
    keyboard_.Send(keys);
    EXPECT_TRUE(EditReads(L"Abledger")) << "read " << win32::Narrow(TextOf(form_->edit.get()));
}

TEST_F(Win32KeyboardTest, HomeShiftEndCtrlCCopiesTheWholeLine) {
    win32::Win32Clipboard clipboard;
    keyboard_.Send(Typed("invoice"));
    ASSERT_TRUE(EditReads(L"invoice"));
    clipboard.Clear();
    std::vector<KeyEvent> keys = Tap(VK_HOME);
    for (const KeyEvent& k : Held(VK_SHIFT, Tap(VK_END))) keys.push_back(k);
    for (const KeyEvent& k : Held(VK_CONTROL, Typed("c"))) keys.push_back(k);
    keyboard_.Send(keys);
    EXPECT_TRUE(testing::PumpMessagesUntil([&] { return clipboard.ReadText() == "invoice"; },
                                           std::chrono::seconds(5)))
        << "clipboard holds '" << clipboard.ReadText() << "'";
}

TEST_F(Win32KeyboardTest, AHeldModifierReadsAsDownUntilReleasedAndQueried) {
    keyboard_.Send({{VK_SHIFT, false}});
    EXPECT_TRUE(testing::PumpMessagesUntil([&] { return keyboard_.IsKeyDown(VK_SHIFT); },
                                           std::chrono::seconds(5)));
    keyboard_.Send({{VK_SHIFT, true}});
    // The "pressed since the last query" bit may answer once more after the release.
    EXPECT_TRUE(testing::PumpMessagesUntil([&] { return !keyboard_.IsKeyDown(VK_SHIFT); },
                                           std::chrono::seconds(5)));
    EXPECT_FALSE(keyboard_.IsKeyDown(VK_SHIFT));
}

}  // namespace
}  // namespace vantrel

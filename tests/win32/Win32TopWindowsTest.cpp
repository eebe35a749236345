#include "platform/win32/Win32TopWindows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "platform/Error.h"
#include "Win32TestSupport.h"

namespace vantrel {
namespace {

using testing::TestWindow;
using testing::UniqueName;

// Activation does not wait for the focus; these tests do, within a bound.
bool BecomesForeground(HWND window) {
    return testing::PumpMessagesUntil([window] { return GetForegroundWindow() == window; },
                                      std::chrono::seconds(5));
}

// The windows are shared by the suite: without a window manager, Wine takes
// about two seconds to take each visible window down.
class Win32TopWindowsTest : public ::testing::Test {
protected:
    struct Windows {
        // Titles no other window on the desktop has.
        std::wstring ledger = UniqueName(L"Vantrel Ledger");
        std::wstring journal = UniqueName(L"Vantrel Journal");
        std::wstring customers = UniqueName(L"Kundenübersicht Łódź");
        TestWindow other{UniqueName(L"Unrelated")};
        TestWindow exact{ledger};
        // Created after the exact one, so the enumeration meets it first.
        TestWindow ledgerDetail{ledger + L" - Customer 4711"};
        TestWindow journalDetail{journal + L" - Customer 4711"};
        TestWindow hiddenJournal{journal, WS_OVERLAPPEDWINDOW};  // never shown
        TestWindow nonAscii{customers};
    };
    static void SetUpTestSuite() { w_ = std::make_unique<Windows>(); }
    static void TearDownTestSuite() { w_.reset(); }
    void SetUp() override {
        // Something else in front to start with.
        SetForegroundWindow(w_->other.get());
        ASSERT_TRUE(BecomesForeground(w_->other.get()));
    }
    static std::unique_ptr<Windows> w_;
    win32::Win32TopWindows windows_;
};

std::unique_ptr<Win32TopWindowsTest::Windows> Win32TopWindowsTest::w_;

TEST_F(Win32TopWindowsTest, AnExactTitleBeatsAPrefixMatchWhereverItStands) {
    windows_.ActivateByTitle(win32::Narrow(w_->ledger));
    EXPECT_TRUE(BecomesForeground(w_->exact.get()));
}

TEST_F(Win32TopWindowsTest, APrefixFindsTheVisibleWindowWhenNoneMatchesExactly) {
    windows_.ActivateByTitle(win32::Narrow(w_->journal));
    EXPECT_TRUE(BecomesForeground(w_->journalDetail.get()));
}

TEST_F(Win32TopWindowsTest, LetterCaseIsIgnoredAlsoOutsideAscii) {
    std::wstring shouted = w_->customers;
    CharUpperBuffW(shouted.data(), static_cast<DWORD>(shouted.size()));
    ASSERT_NE(shouted, w_->customers);
    windows_.ActivateByTitle(win32::Narrow(shouted));
    EXPECT_TRUE(BecomesForeground(w_->nonAscii.get()));
}

TEST_F(Win32TopWindowsTest, AMinimizedWindowIsRestored) {
    ShowWindow(w_->exact.get(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(w_->exact.get()));
    windows_.ActivateByTitle(win32::Narrow(w_->ledger));
    EXPECT_FALSE(IsIconic(w_->exact.get()));
    EXPECT_TRUE(BecomesForeground(w_->exact.get()));
}

TEST_F(Win32TopWindowsTest, NoMatchingVisibleWindowIsAnErrorNamingTheTitle) {
    // Longer than every title: no exact match and no window's title begins with it.
    const std::string wanted = win32::Narrow(w_->ledger) + " - Customer 4711 (closed)";
    try {
        windows_.ActivateByTitle(wanted);
        ADD_FAILURE() << "activated something";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find(wanted), std::string::npos) << e.what();
    }
    EXPECT_EQ(GetForegroundWindow(), w_->other.get()) << "the foreground did not change";
}

}  // namespace
}  // namespace vantrel

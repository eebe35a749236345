#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/Error.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32TopWindows.h"

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
    EXPECT_TRUE(testing::PumpMessagesUntil([&] { return !IsIconic(w_->exact.get()); }));
    EXPECT_TRUE(BecomesForeground(w_->exact.get()));
}

// A source program that has stopped answering, minimized: finding it by its
// title and restoring it must not wait on it.
TEST_F(Win32TopWindowsTest, AHungMinimizedWindowDoesNotHoldTheActivation) {
    const std::wstring title = UniqueName(L"Vantrel Hung Source");
    const win32::UniqueHandleObj release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<bool> ready{false};
    std::thread source([&] {
        const TestWindow window(title, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE);
        ready = true;
        WaitForSingleObject(release.get(), INFINITE);  // reads no messages meanwhile
    });
    while (!ready) Sleep(10);

    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread activation([&] {
        try {
            win32::Win32TopWindows().ActivateByTitle(win32::Narrow(title));
        } catch (...) {
        }
        done.set_value();
    });
    const bool returned = finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(returned) << "the activation waited for the hung program";
    const auto hung = reinterpret_cast<WindowHandle>(FindWindowW(nullptr, title.c_str()));
    EXPECT_TRUE(win32::Win32TopWindows().IsBusy(hung))
        << "a program that reads no messages is busy";
    SetEvent(release.get());
    activation.join();
    source.join();
}

struct TopOfProcess {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindTopOfProcess(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<TopOfProcess*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || !IsWindowVisible(window))
        return TRUE;
    search.found = window;
    return FALSE;
}

// The system's notepad, whose edit control answers across processes.
TEST_F(Win32TopWindowsTest, AnEditControlOfAnotherProgramSaysWhetherTextIsSelected) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring line = L"notepad.exe";
    ASSERT_TRUE(CreateProcessW(L"C:\\windows\\notepad.exe", line.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &info))
        << testing::LastErrorText();
    const win32::UniqueHandleObj process(info.hProcess);
    const win32::UniqueHandleObj thread(info.hThread);
    WaitForInputIdle(process.get(), 10000);
    TopOfProcess notepad{info.dwProcessId};
    ASSERT_TRUE(testing::PumpMessagesUntil([&] {
        EnumWindows(FindTopOfProcess, reinterpret_cast<LPARAM>(&notepad));
        return notepad.found != nullptr;
    }));
    const HWND edit = FindWindowExW(notepad.found, nullptr, L"Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    SetForegroundWindow(notepad.found);
    ASSERT_TRUE(BecomesForeground(notepad.found));
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"A-17 Smith"));

    const auto handle = reinterpret_cast<WindowHandle>(notepad.found);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    EXPECT_EQ(windows_.FocusedSelection(handle), Selection::Empty);
    SendMessageW(edit, EM_SETSEL, 0, 4);
    EXPECT_EQ(windows_.FocusedSelection(handle), Selection::NotEmpty);
    EXPECT_EQ(windows_.FocusedSelection(0), Selection::NotEmpty) << "0 asks the foreground window";
    EXPECT_FALSE(windows_.IsBusy(handle)) << "notepad reads its messages";
    // A control that is not an edit cannot say.
    EXPECT_EQ(windows_.FocusedSelection(reinterpret_cast<WindowHandle>(w_->other.get())),
              Selection::Unknown);
    TerminateProcess(process.get(), 0);
    WaitForSingleObject(process.get(), 10000);
}

// A password box shows a selection, but no copy ever comes of it.
TEST_F(Win32TopWindowsTest, APasswordBoxNeverCopies) {
    const win32::UniqueHwnd password(
        CreateWindowExW(0, L"Edit", L"secret", WS_CHILD | WS_VISIBLE | ES_PASSWORD, 0, 0, 80, 20,
                        w_->other.get(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(password) << testing::LastErrorText();
    SetFocus(password.get());
    SendMessageW(password.get(), EM_SETSEL, 0, -1);
    EXPECT_EQ(windows_.FocusedSelection(reinterpret_cast<WindowHandle>(w_->other.get())),
              Selection::NeverCopies);
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

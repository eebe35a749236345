#include <windows.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "Win32TestSupport.h"
#include "platform/Error.h"
#include "platform/win32/Win32Clipboard.h"

namespace vantrel {
namespace {

using testing::kSentinel;
using testing::LastErrorText;

// Puts data on the clipboard the way another program would.
void PutOnClipboard(UINT format, const void* data, std::size_t bytes) {
    ASSERT_TRUE(testing::PumpMessagesUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        << "OpenClipboard: " << LastErrorText();
    EmptyClipboard();
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), data, bytes);
    GlobalUnlock(memory);
    SetLastError(kSentinel);
    // The clipboard owns the memory only when SetClipboardData succeeds.
    if (SetClipboardData(format, memory) == nullptr) {
        ADD_FAILURE() << "SetClipboardData: " << LastErrorText();
        GlobalFree(memory);
    }
    CloseClipboard();
}

void PutUnicodeText(const std::wstring& text) {
    PutOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// Holds the clipboard open on another thread for `hold`, as a slow program would.
// It opens it for a window of its own: Wine lets two openers without a window share it.
class ClipboardHolder {
  public:
    explicit ClipboardHolder(std::chrono::milliseconds hold)
        : thread_([this, hold] {
              const win32::UniqueHwnd owner(CreateWindowExW(
                  0, L"STATIC", L"holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
              opened_ = owner && OpenClipboard(owner.get()) != FALSE;
              ready_ = true;
              Sleep(static_cast<DWORD>(hold.count()));
              if (opened_)
                  CloseClipboard();
          }) {
        while (!ready_) Sleep(1);
    }
    ~ClipboardHolder() { thread_.join(); }
    bool opened() const { return opened_; }

  private:
    std::atomic<bool> ready_{false};
    std::atomic<bool> opened_{false};
    std::thread thread_;
};

TEST(Win32ClipboardTest, ReadsTextOthersCopiedAndClearRemovesIt) {
    win32::Win32Clipboard clipboard;
    PutUnicodeText(L"Rechnung Nr. 4711 – Müller, Łódź \"quoted\"");
    EXPECT_EQ(clipboard.ReadText(), "Rechnung Nr. 4711 – Müller, Łódź \"quoted\"");

    clipboard.Clear();
    EXPECT_EQ(clipboard.ReadText(), "") << "nothing on the clipboard reads as empty text";
    ASSERT_TRUE(OpenClipboard(nullptr)) << LastErrorText();
    EXPECT_EQ(CountClipboardFormats(), 0) << "Clear removes every format";
    CloseClipboard();

    clipboard.WriteText("A-17 Łódź");
    EXPECT_EQ(clipboard.ReadText(), "A-17 Łódź") << "put back by a press";
}

TEST(Win32ClipboardTest, TextCopiedOnlyAsAnsiIsReadThroughTheSystemsConversion) {
    win32::Win32Clipboard clipboard;
    const char ansi[] = "A-17 \xDC";  // Ü in code page 1252
    PutOnClipboard(CF_TEXT, ansi, sizeof ansi);
    if (GetACP() != 1252)
        GTEST_SKIP() << "needs the ANSI code page 1252, this system has " << GetACP();
    EXPECT_EQ(clipboard.ReadText(), "A-17 Ü");
}

TEST(Win32ClipboardTest, NonTextContentsReadAsEmptyText) {
    win32::Win32Clipboard clipboard;
    const UINT format = RegisterClipboardFormatW(L"Vantrel Test Private Format");
    const char blob[] = "not text";
    PutOnClipboard(format, blob, sizeof blob);
    EXPECT_EQ(clipboard.ReadText(), "");
}

TEST(Win32ClipboardTest, SequenceNumberChangesWithEveryCopyAndClear) {
    win32::Win32Clipboard clipboard;
    const std::uint32_t before = clipboard.SequenceNumber();
    PutUnicodeText(L"first");
    const std::uint32_t afterCopy = clipboard.SequenceNumber();
    EXPECT_NE(afterCopy, before);
    EXPECT_EQ(clipboard.SequenceNumber(), afterCopy) << "reading does not change it";
    clipboard.ReadText();
    EXPECT_EQ(clipboard.SequenceNumber(), afterCopy) << "reading the text does not change it";
    clipboard.Clear();
    EXPECT_NE(clipboard.SequenceNumber(), afterCopy);
}

TEST(Win32ClipboardTest, WaitsForAProgramThatHoldsTheClipboardBriefly) {
    win32::Win32Clipboard clipboard;
    PutUnicodeText(L"old");
    const ClipboardHolder holder(std::chrono::milliseconds(300));
    ASSERT_TRUE(holder.opened()) << "the holder thread could not open the clipboard";
    // A message that arrives meanwhile is handled during the wait, not after it.
    ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0)) << LastErrorText();
    EXPECT_NO_THROW(clipboard.Clear());
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_APP, WM_APP, PM_REMOVE))
        << "the wait let nothing run";
    EXPECT_EQ(clipboard.ReadText(), "");
}

TEST(Win32ClipboardTest, GivesUpOnAClipboardHeldTooLongWithAnErrorThatSaysSo) {
    win32::Win32Clipboard clipboard;
    PutUnicodeText(L"still here");
    {
        const ClipboardHolder holder(std::chrono::milliseconds(2500));
        ASSERT_TRUE(holder.opened()) << "the holder thread could not open the clipboard";
        try {
            clipboard.Clear();
            ADD_FAILURE() << "Clear succeeded while another thread held the clipboard";
        } catch (const win32::Win32Error& e) {
            EXPECT_NE(std::string(e.what()).find("clipboard"), std::string::npos) << e.what();
            EXPECT_EQ(e.code(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << e.what();
        }
        EXPECT_THROW(clipboard.ReadText(), Error);
    }
    EXPECT_EQ(clipboard.ReadText(), "still here") << "the failed Clear removed nothing";
}

}  // namespace
}  // namespace vantrel

// The grab against a real program (Wine's notepad) and the hand-off to the
// stand-in runner in the runner's fixed folder, with the real desktop services.

#include <windows.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "capture/GrabWindowText.h"
#include "capture/KeystrokeNotation.h"
#include "common/ToolSupport.h"
#include "fake/Keys.h"
#include "link/IndexScript.h"
#include "link/clsAppLink.h"
#include "platform/win32/Unicode.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Desktop.h"

namespace vantrel {
namespace {

using fake::Keys;
using testing::LastErrorText;
using testing::PumpMessagesUntil;
using testing::ReadBytes;
using testing::RemoveTree;
using testing::WriteBytes;

constexpr char kNotepadTitle[] = "Untitled - Notepad";

// Boxes are recorded instead of shown: a real system-modal box would wait for
// a click nobody makes.
class RecordedBoxes : public MessageBoxes {
  public:
    void Show(std::string_view text, std::string_view caption, Modality modality) override {
        shown.push_back({std::string(text), std::string(caption), modality});
    }
    struct Box {
        std::string text;
        std::string caption;
        Modality modality;
    };
    std::vector<Box> shown;
};

// The real keyboard, with a record of what was sent through it.
class RecordedKeyboard : public Keyboard {
  public:
    explicit RecordedKeyboard(Keyboard& real) : real_(real) {}
    bool IsKeyDown(int vk) override { return real_.IsKeyDown(vk); }
    std::chrono::milliseconds RepeatDelay() override { return real_.RepeatDelay(); }
    void Send(const std::vector<KeyEvent>& events) override {
        sent.insert(sent.end(), events.begin(), events.end());
        real_.Send(events);
    }
    std::vector<KeyEvent> sent;

  private:
    Keyboard& real_;
};

struct RealDesktop {
    win32::Win32Desktop w;
    RecordedKeyboard keyboard{w.keyboard};
    RecordedBoxes boxes;
    Desktop desktop{w.settings, w.clipboard, keyboard, w.windows, w.files, w.processes, boxes,
                    w.loop,     w.hotkeys,   w.atoms,  w.clock,   w.procs, w.tray,      w.registry};
    DesktopScope scope{desktop};
};

// Wine's notepad as the source program, owned by the test.
class Notepad {
  public:
    Notepad() {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = L"C:\\windows\\notepad.exe";
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(L"C:\\windows\\notepad.exe", line.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &info)) {
            ADD_FAILURE() << "starting notepad: " << LastErrorText();
            return;
        }
        process_.reset(info.hProcess);
        const win32::UniqueHandleObj thread(info.hThread);
        WaitForInputIdle(process_.get(), 10000);
        // Its own window: the previous test's notepad may not be gone entirely.
        PumpMessagesUntil([&] {
            window_ = WindowOfProcess(info.dwProcessId);
            edit_ =
                window_ != nullptr ? FindWindowExW(window_, nullptr, L"Edit", nullptr) : nullptr;
            return edit_ != nullptr;
        });
        if (edit_ == nullptr)
            ADD_FAILURE() << "notepad's window or its edit control did not appear";
    }
    ~Notepad() {
        if (process_) {
            TerminateProcess(process_.get(), 0);
            WaitForSingleObject(process_.get(), 5000);
        }
    }
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    void Type(const std::wstring& text, DWORD selStart, DWORD selEnd) {
        SendMessageW(edit_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(edit_, EM_SETSEL, selStart, selEnd);
    }
    std::pair<DWORD, DWORD> Selection() const {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    bool ready() const { return edit_ != nullptr; }

  private:
    static HWND WindowOfProcess(DWORD processId) {
        struct Search {
            DWORD processId;
            HWND found;
        } search{processId, nullptr};
        EnumWindows(
            [](HWND window, LPARAM param) CALLBACK -> BOOL {
                auto& s = *reinterpret_cast<Search*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t title[64] = {};
                GetWindowTextW(window, title, static_cast<int>(std::size(title)));
                if (owner != s.processId || win32::Narrow(title) != kNotepadTitle)
                    return TRUE;
                s.found = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    win32::UniqueHandleObj process_;
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

void PutOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr)) << LastErrorText();
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr)
        GlobalFree(memory);
    CloseClipboard();
}

class CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppLink();
        AppLink().oSettings().SourceAppTitle(kNotepadTitle);
    }
    void TearDown() override { ResetAppLink(); }

    RealDesktop d;
};

TEST_F(CaptureTest, ASelectedValueIsCopiedWithoutTheFallback) {
    Notepad notepad;
    ASSERT_TRUE(notepad.ready());
    notepad.Type(L"A-17 Smith", 0, 4);
    PutOnClipboard(L"from before");
    EXPECT_EQ(GrabWindowText(kNotepadTitle, "Cursor"), "A-17");
    EXPECT_EQ(d.keyboard.sent, Keys({"^c"}));
    EXPECT_EQ(notepad.Selection(), (std::pair<DWORD, DWORD>{0, 4}))
        << "the selection is left alone";
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(CaptureTest, WithoutASelectionTheCurrentLineIsCopied) {
    Notepad notepad;
    ASSERT_TRUE(notepad.ready());
    // The caret stands inside the second line.
    notepad.Type(L"first line\r\nŁódź A-17\r\nthird", 15, 15);
    PutOnClipboard(L"from before");
    EXPECT_EQ(GrabWindowText(kNotepadTitle, "Cursor"), "Łódź A-17");
    EXPECT_EQ(d.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(CaptureTest, AMissingSourceWindowGivesTheActivationBox) {
    AppLink().oSettings().SourceAppTitle("Vantrel test: no such window");
    const auto field = AppLink().colFields()->Add("InvoiceNo", "");
    field->value("old");
    PutOnClipboard(L"from before");
    AppLink().GrabData();
    EXPECT_EQ(field->value(), "");
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error activating: 'Vantrel test: no such window' window.");
    EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
    EXPECT_EQ(d.boxes.shown[0].modality, Modality::System);
    EXPECT_TRUE(d.keyboard.sent.empty());
    EXPECT_EQ(d.w.clipboard.ReadText(), "") << "the clipboard was cleared before the activation";
}

// The runner's fixed folder, made for the test with the stand-in runner in it.
// Whatever stood there before is moved aside and put back afterwards.
class RunnerFolder {
  public:
    RunnerFolder() {
        if (GetFileAttributesW(kBase) != INVALID_FILE_ATTRIBUTES) {
            saved_ = std::wstring(kBase) + L"." + testing::UniqueName(L"saved");
            if (!MoveFileW(kBase, saved_->c_str()))
                ADD_FAILURE() << "moving the old folder aside: " << LastErrorText();
        }
        CreateDirectoryW(kBase, nullptr);
        if (!CreateDirectoryW(kScripts, nullptr))
            ADD_FAILURE() << "creating the scripts folder: " << LastErrorText();
        if (!CopyFileW(StandInRunner().c_str(),
                       (std::wstring(kScripts) + L"\\brisklet.exe").c_str(), FALSE))
            ADD_FAILURE() << "copying the stand-in runner: " << LastErrorText();
    }
    // The runner a test started may still be ending, its program still open:
    // the folder goes once it can, so the next test finds the place free.
    ~RunnerFolder() {
        PumpMessagesUntil([] {
            RemoveTree(kBase);
            return GetFileAttributesW(kBase) == INVALID_FILE_ATTRIBUTES;
        });
        if (saved_)
            MoveFileW(saved_->c_str(), kBase);
    }
    RunnerFolder(const RunnerFolder&) = delete;
    RunnerFolder& operator=(const RunnerFolder&) = delete;

    static std::wstring Path(const wchar_t* name) { return std::wstring(kScripts) + L"\\" + name; }

    // The runner's record of its one run, once it has finished.
    static std::string RunnerLog() {
        const std::wstring log = Path(L"brisklet.log");
        std::string text;
        PumpMessagesUntil([&] {
            text = ReadBytes(log);
            return text.size() >= 4 && text.compare(text.size() - 4, 4, "end\n") == 0;
        });
        return text;
    }

  private:
    // Built beside the test program.
    static std::wstring StandInRunner() {
        std::wstring self(MAX_PATH, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
        return self.substr(0, self.rfind(L'\\')) + L"\\tools\\brisklet\\brisklet.exe";
    }
    static constexpr const wchar_t* kBase = L"C:\\Program Files\\Tallowin";
    static constexpr const wchar_t* kScripts = L"C:\\Program Files\\Tallowin\\scripts";
    std::optional<std::wstring> saved_;
};

std::string LogLine(std::string_view key, std::string_view value) {
    std::string line = "\n";
    line.append(key).append(" ").append(tools::Escaped(value)).append("\n");
    return line;
}

TEST_F(CaptureTest, AHotkeyCycleWritesTheScriptAndStartsTheRunnerMinimized) {
    RunnerFolder folder;
    Notepad notepad;
    ASSERT_TRUE(notepad.ready());
    notepad.Type(L"A-17 Smith", 0, 4);
    AppLink().oSettings().savenext(true);
    const auto field = AppLink().colFields()->Add("Invoice \"No\"", "");
    // An old script, hidden so that the plain-file test passes it by.
    WriteBytes(RunnerFolder::Path(L"brisklet.sc"), "Sub old()\r\nEnd Sub\r\n");
    SetFileAttributesW(RunnerFolder::Path(L"brisklet.sc").c_str(), FILE_ATTRIBUTE_HIDDEN);

    AppLink().GrabData();
    ASSERT_EQ(field->value(), "A-17");
    AppLink().RunIndex();

    EXPECT_EQ(ReadBytes(RunnerFolder::Path(L"brisklet.sc")),
              "Sub main()\r\n"
              "Index.Field(\"Invoice \"No\"\") = Clipboard\r\n"
              "doevents\r\n"
              "Index.Save\r\n"
              "Index.nextdocument\r\n"
              "Index.setfocuson 1\r\n"
              "End Sub\r\n"
              "\r\n"
              "\r\n");
    const std::string log = RunnerFolder::RunnerLog();
    EXPECT_NE(log.find(LogLine("cmdline", kIndexCommandLine)), std::string::npos) << log;
    EXPECT_NE(log.find("\nshow 2\n"), std::string::npos) << log;
    EXPECT_NE(log.find(LogLine("clipboard", "A-17")), std::string::npos)
        << "the script reads the clipboard\n"
        << log;
    EXPECT_TRUE(d.boxes.shown.empty()) << "no Document Center is no failure to report";
}

TEST_F(CaptureTest, RunSearchHandsTheValueOverAsCaptured) {
    RunnerFolder folder;
    AppLink().oSettings().AppName("AP");
    AppLink().oSettings().Field("Name");
    AppLink().colFields()->Add("Name", "")->value("Łódź 'x';y=\"1\"");
    AppLink().RunSearch();
    const std::string log = RunnerFolder::RunnerLog();
    EXPECT_NE(log.find(LogLine("cmdline", SearchCommandLine("AP", "Name", "Łódź 'x';y=\"1\""))),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("\nshow 2\n"), std::string::npos) << log;
    EXPECT_EQ(GetFileAttributesW(RunnerFolder::Path(L"brisklet.sc").c_str()),
              INVALID_FILE_ATTRIBUTES)
        << "a search writes no script";
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(CaptureTest, WithoutTheRunnerTheScriptIsStillWrittenAndNothingReported) {
    RunnerFolder folder;
    DeleteFileW(RunnerFolder::Path(L"brisklet.exe").c_str());
    AppLink().colFields()->Add("InvoiceNo", "")->value("A-17");
    AppLink().RunIndex();
    EXPECT_EQ(ReadBytes(RunnerFolder::Path(L"brisklet.sc")), IndexScript("InvoiceNo", false));
    EXPECT_TRUE(d.boxes.shown.empty());
}

}  // namespace
}  // namespace vantrel

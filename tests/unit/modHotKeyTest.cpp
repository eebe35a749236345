#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "fake/FakeDesktop.h"
#include "hotkey/modHotKey.h"
#include "link/IndexScript.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

constexpr WindowHandle kMain = 0x1234;
constexpr WindowHandle kOther = 0x5678;
constexpr std::uint32_t kWmNull = 0x0000;
constexpr std::uint32_t kWmDestroy = 0x0002;
constexpr std::uint32_t kWmPaint = 0x000F;

// The main window with a source program ("Billing", whose field holds A-17
// selected), the imaging application and the scripts folder on the desktop.
class modHotKeyTest : public ::testing::Test {
  protected:
    modHotKeyTest() {
        ResetAppLink();
        modHotKey::Reset();
        modHotKey::SetMainWindow([this] {
            ++mainWindowAsked;
            return mainWindow;
        });
        d.windows.titles = {"Billing - Customer 17", "Document Center"};
        d.keyboard.source = {"A-17 and more", "A-17"};
        d.files.folders.insert(fake::FakeFiles::Key("c:\\program files\\tallowin\\scripts"));
        clsSettings& s = AppLink().oSettings();
        s.SourceAppTitle("Billing");
        s.Field("InvoiceNo");
        s.AppName("AP");
        AppLink().colFields()->Add("InvoiceNo", "");
        AppLink().ProcedureType(kIndexProcedure);
    }
    ~modHotKeyTest() override {
        modHotKey::Reset();
        ResetAppLink();
    }

    // As the platform delivers it: to whatever procedure the window has now.
    std::intptr_t Send(WindowHandle window, std::uint32_t msg, std::uintptr_t wParam = 0,
                       std::intptr_t lParam = 0) {
        return d.procs.CallProc(d.procs.Current(window), window, msg, wParam, lParam);
    }
    ProcAddress Ours() { return d.procs.AddressOf(&modHotKey::WindowProc); }
    int Starts() const { return static_cast<int>(d.processes.started.size()); }

    fake::FakeDesktop d;
    WindowHandle mainWindow = kMain;
    int mainWindowAsked = 0;
};

void ExpectBox(const fake::ShownBox& box, const std::string& text, Modality modality) {
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Vantrel");
    EXPECT_EQ(box.modality, modality);
}

// --- installing and removing

TEST_F(modHotKeyTest, HookPutsWindowProcInFrontOfTheWindowsOwnProcedure) {
    modHotKey::Hook(kMain);
    EXPECT_EQ(d.procs.Current(kMain), Ours());
    d.procs.ownProcResult = -7;
    EXPECT_EQ(Send(kMain, kWmPaint, 11, -22), -7);
    ASSERT_EQ(d.procs.ownProcCalls.size(), 1u);
    const auto& call = d.procs.ownProcCalls[0];
    EXPECT_EQ(call.proc, fake::FakeWindowProcs::OwnProcOf(kMain));
    EXPECT_EQ(call.window, kMain);
    EXPECT_EQ(call.message, kWmPaint);
    EXPECT_EQ(call.wParam, 11u);
    EXPECT_EQ(call.lParam, -22);

    modHotKey::Unhook(kMain);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(modHotKeyTest, SecondHookLeavesOneReplacementThatReachesTheOwnProcedure) {
    modHotKey::Hook(kMain);
    modHotKey::Hook(kMain);
    EXPECT_EQ(d.procs.Current(kMain), Ours());
    // Saving our own address would make this recurse without end.
    EXPECT_EQ(Send(kMain, kWmPaint), d.procs.ownProcResult);
    ASSERT_EQ(d.procs.ownProcCalls.size(), 1u);
    EXPECT_EQ(d.procs.ownProcCalls[0].proc, fake::FakeWindowProcs::OwnProcOf(kMain));

    modHotKey::Unhook(kMain);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
}

TEST_F(modHotKeyTest, UnhookKeepsTheSavedProcedureSoRepeatingItIsHarmless) {
    modHotKey::Hook(kMain);
    modHotKey::Unhook(kMain);
    modHotKey::Unhook(kMain);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
    modHotKey::Hook(kMain);
    EXPECT_EQ(Send(kMain, kWmPaint), d.procs.ownProcResult);
    EXPECT_EQ(d.procs.ownProcCalls.size(), 1u);
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(modHotKeyTest, UnhookBeforeAnyHookLeavesTheWindowAlone) {
    modHotKey::Unhook(kMain);
    EXPECT_EQ(d.procs.installs, 0);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
}

// A platform that refuses the replacement quietly, answering 0 as
// SetWindowLongPtr does, and leaves the window as it was.
class RefusingProcs : public fake::FakeWindowProcs {
  public:
    using FakeWindowProcs::FakeWindowProcs;
    ProcAddress Install(WindowHandle window, ProcAddress proc) override {
        return refuse ? 0 : FakeWindowProcs::Install(window, proc);
    }
    bool refuse = false;
};

TEST_F(modHotKeyTest, RefusedInstallationNeverLeavesANullProcedureToPutBack) {
    RefusingProcs procs(d.journal);
    Desktop withRefusing{d.settings,  d.clipboard, d.keyboard, d.windows, d.files,
                         d.processes, d.boxes,     d.loop,     d.hotkeys, d.atoms,
                         d.clock,     procs,       d.tray,     d.registry};
    const DesktopScope scope(withRefusing);

    procs.refuse = true;
    modHotKey::Hook(kMain);
    modHotKey::Unhook(kMain);
    EXPECT_EQ(procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));

    procs.refuse = false;
    modHotKey::Hook(kMain);
    procs.refuse = true;
    modHotKey::Hook(kMain);  // refused while installed: the saved procedure stays
    procs.refuse = false;
    EXPECT_EQ(procs.CallProc(procs.Current(kMain), kMain, kWmPaint, 0, 0), procs.ownProcResult);
    ASSERT_EQ(procs.ownProcCalls.size(), 1u);
    EXPECT_EQ(procs.ownProcCalls[0].proc, fake::FakeWindowProcs::OwnProcOf(kMain));
    modHotKey::Unhook(kMain);
    EXPECT_EQ(procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(modHotKeyTest, HookAndUnhookShowTheirOwnFailures) {
    d.journal.Fail("WindowProcs.Install");
    EXPECT_NO_THROW(modHotKey::Hook(kMain));
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    ExpectBox(d.boxes.shown[0], "error in modHotKey.Hook: WindowProcs.Install failed",
              Modality::Application);

    d.journal.Heal();
    modHotKey::Hook(kMain);
    d.journal.Fail("WindowProcs.Install");
    EXPECT_NO_THROW(modHotKey::Unhook(kMain));
    ASSERT_EQ(d.boxes.shown.size(), 2u);
    ExpectBox(d.boxes.shown[1], "error in modHotKey.Unhook: WindowProcs.Install failed",
              Modality::Application);

    // Nothing changed: the replacement is still in and still hands on.
    d.journal.Heal();
    EXPECT_EQ(d.procs.Current(kMain), Ours());
    EXPECT_EQ(Send(kMain, kWmPaint), d.procs.ownProcResult);
}

TEST_F(modHotKeyTest, FailureBoxThatCannotBeShownIsSwallowed) {
    d.journal.Fail("WindowProcs.Install");
    d.journal.Fail("MessageBoxes.Show");
    EXPECT_NO_THROW(modHotKey::Hook(kMain));
    EXPECT_NO_THROW(modHotKey::Unhook(kMain));
}

// --- dispatch

TEST_F(modHotKeyTest, HotKeyForTheMainWindowIndexesAndIsHandedOn) {
    modHotKey::Hook(kMain);
    d.procs.ownProcResult = 99;
    EXPECT_EQ(Send(kMain, kWmHotKey, 0xC001, 0x007A0000), 99);

    EXPECT_EQ(AppLink().colFields()->Item(1)->value(), "A-17");
    ASSERT_EQ(Starts(), 1);
    EXPECT_EQ(d.processes.started[0].commandLine, kIndexCommandLine);
    ASSERT_EQ(d.procs.ownProcCalls.size(), 1u);
    EXPECT_EQ(d.procs.ownProcCalls[0].message, kWmHotKey);
    EXPECT_EQ(d.procs.ownProcCalls[0].wParam, 0xC001u);
    EXPECT_EQ(d.procs.ownProcCalls[0].lParam, 0x007A0000);
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(modHotKeyTest, OnlyProcedureType2Indexes) {
    modHotKey::Hook(kMain);
    for (const int type : {0, 1, 2, 3, -1, 32767}) {
        SCOPED_TRACE(type);
        d.processes.started.clear();
        AppLink().ProcedureType(type);
        Send(kMain, kWmHotKey);
        ASSERT_EQ(Starts(), 1);
        EXPECT_EQ(d.processes.started[0].commandLine,
                  type == 2 ? std::string(kIndexCommandLine)
                            : SearchCommandLine("AP", "InvoiceNo", "A-17"));
    }
}

TEST_F(modHotKeyTest, AnyIdentifierAndKeyStartTheCycle) {
    modHotKey::Hook(kMain);
    const std::pair<std::uintptr_t, std::intptr_t> kMessages[] = {
        {0, 0}, {0xC000, 0x007A0000}, {0xBFFF, -1}, {0xFFFFFFFF, 0x00410006}, {12345, 0x7FFFFFFF}};
    for (const auto& [wParam, lParam] : kMessages) Send(kMain, kWmHotKey, wParam, lParam);
    EXPECT_EQ(Starts(), 5);
    EXPECT_EQ(d.procs.ownProcCalls.size(), 5u);
}

TEST_F(modHotKeyTest, HotKeyForAnotherWindowIsOnlyHandedOn) {
    modHotKey::Hook(kMain);
    EXPECT_EQ(modHotKey::WindowProc(kOther, kWmHotKey, 1, 2), d.procs.ownProcResult);
    EXPECT_EQ(d.journal.CountOf("Clipboard.Clear"), 0);
    EXPECT_EQ(Starts(), 0);
    ASSERT_EQ(d.procs.ownProcCalls.size(), 1u);
    EXPECT_EQ(d.procs.ownProcCalls[0].window, kOther);
}

TEST_F(modHotKeyTest, MainWindowIsAskedOnEveryMessage) {
    modHotKey::Hook(kMain);
    Send(kMain, kWmPaint);
    Send(kMain, kWmHotKey);
    EXPECT_EQ(mainWindowAsked, 2);
    // The main window was made again with a new handle: its hotkey follows it.
    mainWindow = kOther;
    modHotKey::WindowProc(kMain, kWmHotKey, 0, 0);
    EXPECT_EQ(Starts(), 1);
    modHotKey::WindowProc(kOther, kWmHotKey, 0, 0);
    EXPECT_EQ(Starts(), 2);
}

TEST_F(modHotKeyTest, WithoutAMainWindowNothingIsAHotKeyOfIt) {
    modHotKey::Hook(kMain);
    modHotKey::SetMainWindow(nullptr);
    EXPECT_EQ(Send(kMain, kWmHotKey), d.procs.ownProcResult);
    EXPECT_EQ(Starts(), 0);
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(modHotKeyTest, EmptyCaptureSaysNoDataFoundAndIsHandedOn) {
    modHotKey::Hook(kMain);
    d.keyboard.source = {"", ""};
    d.clipboard.Set("left over from before");
    EXPECT_EQ(Send(kMain, kWmHotKey), d.procs.ownProcResult);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    ExpectBox(d.boxes.shown[0], "no data found", Modality::System);
    EXPECT_EQ(Starts(), 0);
    EXPECT_EQ(d.journal.CountOf("Files.WriteNewAnsiTextFile"), 0);
    ASSERT_EQ(d.procs.ownProcCalls.size(), 1u);
    EXPECT_EQ(d.procs.ownProcCalls[0].message, kWmHotKey);
}

TEST_F(modHotKeyTest, FailedCycleIsShownAnswersZeroAndIsNotHandedOn) {
    modHotKey::Hook(kMain);
    AppLink().colFields(std::make_shared<colFields>());  // no field 1
    std::string description;
    try {
        AppLink().GrabData();
    } catch (const Error& e) {
        description = e.what();
    }
    ASSERT_FALSE(description.empty());

    d.procs.ownProcResult = 42;
    EXPECT_EQ(Send(kMain, kWmHotKey), 0);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    ExpectBox(d.boxes.shown[0], "error in modHotKey.WindowProc: " + description,
              Modality::Application);
    EXPECT_TRUE(d.procs.ownProcCalls.empty());

    // The program runs on: the replacement is still in and other messages pass.
    EXPECT_EQ(d.procs.Current(kMain), Ours());
    EXPECT_EQ(Send(kMain, kWmPaint), 42);
}

TEST_F(modHotKeyTest, FailureWhileAskingForTheMainWindowIsCaughtToo) {
    modHotKey::Hook(kMain);
    modHotKey::SetMainWindow([]() -> WindowHandle { throw Error("the main window is gone"); });
    EXPECT_EQ(Send(kMain, kWmPaint), 0);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in modHotKey.WindowProc: the main window is gone");
}

TEST_F(modHotKeyTest, FailedCycleWhoseBoxFailsStillAnswersZero) {
    modHotKey::Hook(kMain);
    AppLink().colFields(std::make_shared<colFields>());
    d.journal.Fail("MessageBoxes.Show");
    EXPECT_EQ(Send(kMain, kWmHotKey), 0);
    EXPECT_TRUE(d.procs.ownProcCalls.empty());
}

TEST_F(modHotKeyTest, OtherMessagesReturnExactlyWhatThePreviousProcedureReturns) {
    modHotKey::Hook(kMain);
    for (const std::intptr_t result :
         {std::intptr_t{0}, std::intptr_t{1}, std::intptr_t{-1}, INTPTR_MAX, INTPTR_MIN}) {
        d.procs.ownProcResult = result;
        EXPECT_EQ(Send(kMain, kWmNull), result);
        EXPECT_EQ(Send(kMain, kWmDestroy), result);
        EXPECT_EQ(Send(kMain, kWmHotKey - 1), result);
        EXPECT_EQ(Send(kMain, kWmHotKey + 1), result);
        EXPECT_EQ(modHotKey::WindowProc(kOther, kWmHotKey, 0, 0), result);
    }
    EXPECT_EQ(d.journal.CountOf("Clipboard.Clear"), 0);
}

// --- one press, one cycle

constexpr int kVkF11 = 122;
constexpr std::intptr_t kF11Press = std::intptr_t{kVkF11} << 16;  // as the platform packs it
constexpr std::uint32_t kDay = 86'400'000;                        // ms

TEST_F(modHotKeyTest, HotKeyDuringACycleIsOnlyHandedOn) {
    modHotKey::Hook(kMain);
    std::intptr_t droppedResult = -1;
    // Arrives at the grab's first pass over the message queue.
    d.loop.Post([&] { droppedResult = Send(kMain, kWmHotKey, 2, 0); });
    EXPECT_EQ(Send(kMain, kWmHotKey, 1, 0), d.procs.ownProcResult);
    EXPECT_EQ(droppedResult, d.procs.ownProcResult);
    EXPECT_EQ(Starts(), 1);
    EXPECT_EQ(AppLink().colFields()->Item(1)->value(), "A-17");
    EXPECT_TRUE(d.boxes.shown.empty());
    ASSERT_EQ(d.procs.ownProcCalls.size(), 2u);
    EXPECT_EQ(d.procs.ownProcCalls[0].wParam, 2u);
    EXPECT_EQ(d.procs.ownProcCalls[1].wParam, 1u);

    // While no data found is open the cycle is still under way.
    d.keyboard.source = {"", ""};
    d.boxes.onShow = [&](const fake::ShownBox&) {
        d.keyboard.source = {"B-9", "B-9"};
        Send(kMain, kWmHotKey);
    };
    Send(kMain, kWmHotKey);
    EXPECT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(Starts(), 1);
}

// Exit, or the settings being changed, while a press waits for the modifiers:
// nothing of it happens afterwards, its wait for the key's release ends, and
// the next press is a press like any other.
TEST_F(modHotKeyTest, AnAbandonedPressSendsAndStartsNothing) {
    modHotKey::Hook(kMain);
    d.keyboard.Hold(kVkControl, 1'000'000);
    d.keyboard.Hold(kVkF11, 1'000'000);
    // What must wait for the press (settings read again) runs once it has ended.
    bool after = false;
    d.loop.PostAfter(50, [&] {
        modHotKey::AfterPress([&] { after = true; });
        EXPECT_FALSE(after);
        modHotKey::AbandonPress();
    });
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_TRUE(after);
    EXPECT_TRUE(d.keyboard.sent.empty());
    EXPECT_EQ(Starts(), 0);
    EXPECT_TRUE(d.boxes.shown.empty());
    EXPECT_EQ(d.log.lines.back(), "press: abandoned: the press was abandoned");
    EXPECT_LT(d.loop.rests, 60) << "both waits end at once";

    // The modifier's key-up lost: given up after 10 s, in the log, and the
    // next press, once the key has come up, goes through.
    d.keyboard.Hold(kVkF11, 0);
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 0);
    EXPECT_EQ(d.log.lines.back(),
              "press: abandoned: Ctrl, Shift or Alt was still down 10 s after the hotkey");
    d.keyboard.Hold(kVkControl, 0);
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 1);

    // Abandoned in the hand-off's own pass over the messages: no runner, and
    // Document Center is left alone.
    const int activations = d.journal.CountOf("TopWindows.ActivateByTitle");
    d.clipboard.beforeRead = [&] { d.loop.Post([&] { modHotKey::AbandonPress(); }); };
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 1);
    EXPECT_EQ(d.journal.CountOf("TopWindows.ActivateByTitle"), activations + 1)
        << "the source's only";
    d.clipboard.beforeRead = nullptr;
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 2);
}

TEST_F(modHotKeyTest, AHeldKeyIsOnePressUntilItIsLetGo) {
    modHotKey::Hook(kMain);
    d.keyboard.Hold(kVkF11, 40);
    // The key repeats during the cycle and after it, while still held.
    int repeats = 0;
    std::function<void()> repeat = [&] {
        Send(kMain, kWmHotKey, 1, kF11Press);
        if (++repeats < 30)
            d.loop.Post(repeat);
    };
    d.loop.Post(repeat);
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(repeats, 30);
    EXPECT_EQ(Starts(), 1);
    EXPECT_FALSE(d.keyboard.IsKeyDown(kVkF11)) << "the cycle ends once the key is let go";

    // Pressed again after that: a new cycle, failing or not.
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 2);
    const auto fields = AppLink().colFields();
    AppLink().colFields(std::make_shared<colFields>());
    d.keyboard.Hold(kVkF11, 10);
    d.loop.Post([&] { Send(kMain, kWmHotKey, 1, kF11Press); });
    EXPECT_EQ(Send(kMain, kWmHotKey, 1, kF11Press), 0);
    ASSERT_EQ(d.boxes.shown.size(), 1u) << "the repeat of a failed press is dropped too";
    EXPECT_EQ(d.boxes.shown[0].text.rfind("error in modHotKey.WindowProc: ", 0), 0u);
    AppLink().colFields(fields);
    EXPECT_EQ(Starts(), 2);
    const auto dropped = [&] {
        return std::count(d.log.lines.begin(), d.log.lines.end(),
                          "press dropped: the hotkey came again while a press was under way");
    };
    EXPECT_EQ(dropped(), 2) << "one line for each burst";

    // A key whose release was lost reads as down for good, without repeats: it
    // ends the cycle all the same, and later presses are not swallowed.
    d.boxes.shown.clear();
    d.keyboard.Hold(kVkF11, 1'000'000);
    Send(kMain, kWmHotKey, 1, kF11Press);
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 4);
    EXPECT_TRUE(d.boxes.shown.empty());
    d.keyboard.Hold(kVkF11, 0);

    // A press whose key went down during a cycle but whose message came only
    // after it (a busy program in front holds keys back) is dropped too.
    d.loop.ticks = 5000;
    Send(kMain, kWmHotKey, 1, kF11Press);
    d.loop.messageTime = 4990;
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 5);
    EXPECT_EQ(dropped(), 3);
    d.loop.messageTime = 5100;
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 6);

    // Days later, on a clock that counts sleep, turns negative as a signed
    // number after 24.9 days and wraps after 49.7: only a press made in the
    // few seconds before the cycle's end counts as late.
    for (const std::uint32_t later : {25u * kDay, 25u * kDay + 60'000u, 30u * kDay, 49u * kDay}) {
        d.loop.messageTime = 5100 + later;
        d.loop.ticks = d.loop.messageTime;
        Send(kMain, kWmHotKey, 1, kF11Press);
    }
    EXPECT_EQ(Starts(), 10);
    d.loop.ticks = 0xFFFF'0000u;
    Send(kMain, kWmHotKey, 1, kF11Press);
    d.loop.messageTime = 0x0001'0000u;
    Send(kMain, kWmHotKey, 1, kF11Press);
    EXPECT_EQ(Starts(), 12) << "a press after the clock wrapped";
    EXPECT_EQ(dropped(), 3);

    // A repeat the system queued as the key came up still belongs to the press.
    d.keyboard.Hold(kVkF11, 20);
    std::function<void()> watch = [&] {
        if (d.keyboard.IsKeyDown(kVkF11))
            return d.loop.Post(watch);
        d.loop.Post([&] { Send(kMain, kWmHotKey, 1, kF11Press); });
    };
    d.loop.Post(watch);
    Send(kMain, kWmHotKey, 1, kF11Press);
    d.loop.ProcessPending();
    EXPECT_EQ(Starts(), 13);

    // Repeats further apart than one repeat delay, but well within two, are
    // still the key held: one press.
    d.keyboard.repeatDelay = std::chrono::milliseconds(1000);
    d.keyboard.Hold(kVkF11, 1'000'000);
    for (int n = 1; n <= 3; ++n)
        d.loop.PostAfter(300 * n, [&] { Send(kMain, kWmHotKey, 1, kF11Press); });
    d.loop.PostAfter(1000, [&] { d.keyboard.Hold(kVkF11, 0); });
    Send(kMain, kWmHotKey, 1, kF11Press);
    for (int pass = 0; pass < 1000; ++pass) d.loop.ProcessPending();
    EXPECT_EQ(Starts(), 14);
}

}  // namespace
}  // namespace vantrel

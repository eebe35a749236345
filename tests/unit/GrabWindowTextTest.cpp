#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "capture/GrabWindowText.h"
#include "capture/KeystrokeNotation.h"
#include "fake/FakeDesktop.h"
#include "fake/Keys.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

using fake::Keys;

// The fake keyboard, watched: what was held when keys went out, and a hook
// that runs as they go (to post a message into the grab's wait).
class WatchedKeyboard : public Keyboard {
  public:
    explicit WatchedKeyboard(fake::FakeKeyboard& inner) : inner_(inner) {}
    bool IsKeyDown(int vk) override { return inner_.IsKeyDown(vk); }
    std::chrono::milliseconds RepeatDelay() override { return inner_.RepeatDelay(); }
    void Send(const std::vector<KeyEvent>& events) override {
        for (const auto& [vk, passes] : inner_.held)
            if (passes > 0)
                modifierHeldAtSend = true;
        if (onSend)
            onSend();
        inner_.Send(events);
    }
    bool modifierHeldAtSend = false;
    std::function<void()> onSend;

  private:
    fake::FakeKeyboard& inner_;
};

class GrabWindowTextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppLink();
        AppLink().oSettings().SourceAppTitle("Billing");
        f.windows.titles = {"Other", "Billing - Invoices"};
        f.keyboard.source.line = "A-17 Smith";
        f.clipboard.text = "from before";
    }
    void TearDown() override { ResetAppLink(); }

    void ExpectActivationBox() {
        ASSERT_EQ(f.boxes.shown.size(), 1u);
        EXPECT_EQ(f.boxes.shown[0].text, "error activating: 'Billing' window.");
        EXPECT_EQ(f.boxes.shown[0].caption, "Vantrel");
        EXPECT_EQ(f.boxes.shown[0].modality, Modality::System);
    }

    fake::FakeDesktop f;
    WatchedKeyboard keyboard{f.keyboard};
    Desktop watched{f.settings,  f.clipboard, keyboard, f.windows,  f.files,
                    f.processes, f.boxes,     f.loop,   f.hotkeys,  f.atoms,
                    f.clock,     f.procs,     f.tray,   f.registry, f.log};
    DesktopScope scope{watched};
};

TEST_F(GrabWindowTextTest, SelectionIsCopiedWithoutTheFallback) {
    f.keyboard.source.selection = "\xC3\x84-17";  // four characters, five bytes
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "\xC3\x84-17");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
    EXPECT_EQ(f.windows.activated, std::vector<std::string>{"Billing - Invoices"});
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_EQ(f.clipboard.text, "\xC3\x84-17") << "the index script reads the clipboard again";
    EXPECT_EQ(f.log.lines, std::vector<std::string>{"press: captured the selection, 4 characters"})
        << "how, and how long, never the value";
}

TEST_F(GrabWindowTextTest, ACopyArrivingLateIsStillCaught) {
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copyDelayPasses = 90;  // 450 ms
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
}

TEST_F(GrabWindowTextTest, NoSelectionCopiesTheWholeLineAfterWaitingOutTheFirstCopy) {
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17 Smith");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_GE(f.loop.rests * f.loop.restLength, std::chrono::milliseconds(500))
        << "the first copy is given its whole half second before the fallback";
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_EQ(f.log.lines, std::vector<std::string>{"press: captured the line, 10 characters"});
}

// Only a standard edit control can say for sure that the copy will bring nothing.
TEST_F(GrabWindowTextTest, AnEditWithNothingSelectedIsNotWaitedFor) {
    f.windows.focusedSelection = Selection::Empty;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17 Smith");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_EQ(f.loop.rests, 0) << "no wait for the first copy; the line's lands at once";
    EXPECT_EQ(f.windows.selectionAskedOf, std::vector<WindowHandle>{2}) << "the source's, once";

    // A password box shows a selection but copies nothing: neither copy is awaited.
    f.keyboard.sent.clear();
    f.windows.focusedSelection = Selection::NeverCopies;
    f.keyboard.source.selection = "secret";
    f.keyboard.source.copies = false;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_EQ(f.loop.rests, 0);
    f.keyboard.source.copies = true;

    // An edit with a selection, or a control that cannot say: the copy is awaited.
    f.keyboard.sent.clear();
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copyDelayPasses = 6;
    for (const Selection said : {Selection::NotEmpty, Selection::Unknown}) {
        f.windows.focusedSelection = said;
        EXPECT_EQ(GrabWindowText("", "Cursor"), "A-17");
        EXPECT_EQ(f.windows.selectionAskedOf.back(), 2u) << "no title: the window in front";
    }
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "^c"}));
}

TEST_F(GrabWindowTextTest, ACopyLaterThanTheBoundGivesWayToTheFallback) {
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copyDelayPasses = 100000;
    f.keyboard.source.line = "whole line";
    int sends = 0;
    keyboard.onSend = [&] {
        if (++sends == 2)
            f.keyboard.source.copyDelayPasses = 1;
    };
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "whole line");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));

    // Landing after the bound but before the clipboard is read, the copy is the
    // user's selection and stands.
    f.keyboard.sent.clear();
    f.keyboard.source.copyDelayPasses = 100000;
    sends = 2;
    f.clipboard.beforeRead = [&] {
        if (f.clipboard.text.empty())
            f.clipboard.Set("A-17");
    };
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));

    // A source still busy with its keys copies later: no fallback meanwhile,
    // and one that stays busy gives nothing rather than a late, unknown copy.
    f.clipboard.beforeRead = nullptr;
    for (const int copyAfter : {900, 100000}) {  // 4.5 s, or never
        f.keyboard.sent.clear();
        f.keyboard.source.selection = "A-17";
        f.keyboard.source.copyDelayPasses = copyAfter;
        f.windows.busyFor = 100000;
        EXPECT_EQ(GrabWindowText("Billing", "Cursor"), copyAfter == 900 ? "A-17" : "");
        EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
    }
    // An edit that said text is selected will copy, though its keys may not have
    // reached it yet: answering meanwhile does not bring the fallback.
    f.windows.busyFor = 0;
    f.windows.focusedSelection = Selection::NotEmpty;
    f.keyboard.sent.clear();
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copyDelayPasses = 900;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
    EXPECT_TRUE(f.boxes.shown.empty());

    // A source that answers at once but whose copies arrive 800 ms late (a
    // remote session): the fallback has gone out when the first copy lands, and
    // its copy, landing after, must not replace the selection the runner reads.
    f.windows.focusedSelection = Selection::Unknown;
    f.keyboard.sent.clear();
    f.keyboard.source.copyDelayPasses = 160;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_EQ(f.clipboard.text, "A-17");
    for (int pass = 0; pass < 1000; ++pass) f.loop.ProcessPending();
    EXPECT_EQ(f.clipboard.text, "A-17") << "no copy of the press was still on its way";
}

TEST_F(GrabWindowTextTest, BothCopiesEmptyGiveEmptyTextAndNoBox) {
    f.keyboard.source.line.clear();
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_EQ(f.clipboard.text, "") << "what was on the clipboard before is gone";

    f.keyboard.sent.clear();
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copies = false;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "{home}+{end}^c"}));
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST_F(GrabWindowTextTest, NoKeystrokeWhileAModifierIsHeldAndTheWaitRests) {
    f.keyboard.source.selection = "A-17";
    f.keyboard.Hold(kVkControl, 3);
    f.keyboard.Hold(kVkMenu, 12);
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
    EXPECT_FALSE(keyboard.modifierHeldAtSend);
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
    EXPECT_GE(f.loop.rests, 5);
    EXPECT_EQ(f.keyboard.keyStateQueries % 3, 0) << "all three keys are queried on every pass";

    // A key-up lost on the way: the log says so after 3 s, and after 10 s the
    // press is given up rather than fired whenever the key next comes up.
    f.keyboard.sent.clear();
    f.keyboard.Hold(kVkShift, 1'000'000);
    f.loop.rests = 0;
    EXPECT_THROW(GrabWindowText("Billing", "Cursor"), PressAbandoned);
    EXPECT_TRUE(f.keyboard.sent.empty());
    EXPECT_EQ(f.loop.rests * f.loop.restLength / std::chrono::seconds(1), 10);
    EXPECT_EQ(std::count(f.log.lines.begin(), f.log.lines.end(),
                         "press: waiting for Ctrl, Shift and Alt to be released"),
              1);
}

// The keystrokes go to whichever window is in front when they are read: sent
// before the source has come forward, they would copy from the previous window.
TEST_F(GrabWindowTextTest, KeysWaitUntilTheSourceIsInFrontButNotForever) {
    f.keyboard.source.selection = "A-17";
    bool frontAtSend = false;
    keyboard.onSend = [&] { frontAtSend = f.windows.lagLeft == 0; };
    // 250 ms to come forward; then 700 ms, its program busy meanwhile.
    for (const auto& [lag, busy] : {std::pair{50, 0}, std::pair{140, 130}}) {
        f.windows.activationLag = lag;
        f.windows.busyFor = busy;
        frontAtSend = false;
        EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "A-17");
        EXPECT_TRUE(frontAtSend);
        EXPECT_TRUE(f.boxes.shown.empty());
    }

    // A program that never answers: the activation box, and the log says why.
    f.keyboard.sent.clear();
    f.windows.activationLag = 1'000'000;
    f.windows.busyFor = 1'000'000;
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
    ExpectActivationBox();
    EXPECT_EQ(f.log.lines.back().rfind(
                  "press: grab failed: the source program did not answer for 5 s; shown: error "
                  "activating: 'Billing' window. (capture/GrabWindowText.cpp:",
                  0),
              0u)
        << "with where it failed";
    EXPECT_TRUE(f.keyboard.sent.empty());
    f.boxes.shown.clear();
    f.windows.busyFor = 0;

    // A window that never comes forward (another program holds the foreground):
    // no key goes to that other program, and the press ends without a box.
    f.keyboard.sent.clear();
    f.windows.activationLag = 1'000'000;
    EXPECT_THROW(GrabWindowText("Billing", "Cursor"), PressAbandoned);
    EXPECT_TRUE(f.keyboard.sent.empty());
    EXPECT_TRUE(f.boxes.shown.empty());
}

// The user may move to another program while the hotkey's modifier is still
// down; the keys are due when it comes up, and go to the source all the same.
TEST_F(GrabWindowTextTest, KeysOnlyEverGoToTheSource) {
    f.keyboard.source.selection = "A-17";
    for (const std::string title : {"Billing", ""}) {
        SCOPED_TRACE(title);
        f.keyboard.sent.clear();
        f.windows.foreground = 2;
        f.keyboard.Hold(kVkControl, 6);
        f.loop.Post([&] { f.loop.Post([&] { f.windows.foreground = 1; }); });
        bool sourceAtSend = false;
        keyboard.onSend = [&] { sourceAtSend = f.windows.foreground == 2; };
        EXPECT_EQ(GrabWindowText(title, "Cursor"), "A-17");
        EXPECT_TRUE(sourceAtSend) << "brought back first";
    }
    // One that will not come back gets no key, and nor does the other program.
    f.keyboard.sent.clear();
    f.keyboard.Hold(kVkControl, 6);
    f.loop.Post([&] { f.loop.Post([&] { f.windows.foreground = 1; }); });
    f.windows.refuseActivation = true;
    EXPECT_THROW(GrabWindowText("", "Cursor"), PressAbandoned);
    EXPECT_TRUE(f.keyboard.sent.empty());
    EXPECT_TRUE(f.boxes.shown.empty());

    // Nor does any program once the press is abandoned during a wait: it ends
    // the wait at once, and no fallback follows.
    f.windows.refuseActivation = false;
    f.keyboard.Hold(kVkControl, 1'000'000);
    f.loop.rests = 0;
    f.loop.PostAfter(50, [] { Press::Abandon(); });
    {
        const Press::Scope press;
        EXPECT_THROW(GrabWindowText("Billing", "Cursor"), PressAbandoned);
    }
    EXPECT_TRUE(f.keyboard.sent.empty());
    EXPECT_LT(f.loop.rests, 60);

    f.keyboard.Hold(kVkControl, 0);
    f.keyboard.source.selection.clear();
    keyboard.onSend = [&] { f.loop.PostAfter(20, [] { Press::Abandon(); }); };
    const Press::Scope press;
    EXPECT_THROW(GrabWindowText("Billing", "Cursor"), PressAbandoned);
    EXPECT_EQ(f.keyboard.sent, Keys({"^c"}));
}

TEST_F(GrabWindowTextTest, EmptyTitleActivatesNothing) {
    f.keyboard.source.selection = "A-17";
    EXPECT_EQ(GrabWindowText("", "Cursor"), "A-17");
    EXPECT_EQ(f.journal.CountOf("TopWindows.ActivateByTitle"), 0);
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST_F(GrabWindowTextTest, OtherGrabTypesOnlyClearTheClipboard) {
    f.keyboard.source.selection = "A-17";
    for (const char* type : {"cursor", "", "Mouse"}) {
        EXPECT_EQ(GrabWindowText("Billing", type), "") << type;
        EXPECT_TRUE(f.keyboard.sent.empty()) << type;
    }
    EXPECT_EQ(f.journal.CountOf("Clipboard.Clear"), 3);
}

TEST_F(GrabWindowTextTest, EachFailureStopsTheGrabWithTheConfiguredTitle) {
    for (const char* op :
         {"Clipboard.Clear", "TopWindows.ActivateByTitle", "Keyboard.Send", "Clipboard.ReadText"}) {
        SCOPED_TRACE(op);
        f.boxes.shown.clear();
        f.keyboard.sent.clear();
        f.journal.Heal();
        f.journal.Fail(op);
        f.keyboard.source.selection.clear();  // would call for the fallback
        EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
        ExpectActivationBox();
        EXPECT_LE(f.keyboard.sent.size(), Keys({"^c"}).size()) << "nothing retried, no fallback";
    }
}

TEST_F(GrabWindowTextTest, MissingWindowGivesTheActivationBox) {
    f.keyboard.source.selection = "A-17";
    f.windows.titles = {"Bill"};
    EXPECT_EQ(GrabWindowText("Billing", "Cursor"), "");
    ExpectActivationBox();
    EXPECT_TRUE(f.keyboard.sent.empty());
    EXPECT_EQ(f.clipboard.text, "") << "cleared before the activation failed";
}

TEST_F(GrabWindowTextTest, GrabDataNeedsFieldOneAndReportsNothingItself) {
    EXPECT_THROW(AppLink().GrabData(), Error) << "no collection yet";
    EXPECT_EQ(AppLink().colFields()->Count(), 0);
    EXPECT_THROW(AppLink().GrabData(), Error) << "an empty collection";
    EXPECT_TRUE(f.boxes.shown.empty());
    EXPECT_EQ(f.journal.CountOf("Clipboard.Clear"), 0);
}

TEST_F(GrabWindowTextTest, GrabDataStoresWhatWasGrabbedEmptyIncluded) {
    const auto field = AppLink().colFields()->Add("InvoiceNo", "");
    AppLink().oSettings().GrabType("Mouse");  // the settings only know "Cursor"
    f.keyboard.source.selection = "A-17";
    AppLink().GrabData();
    EXPECT_EQ(field->value(), "A-17");
    EXPECT_EQ(f.windows.activated.back(), "Billing - Invoices");

    f.windows.titles.clear();
    AppLink().GrabData();
    EXPECT_EQ(field->value(), "");
    ExpectActivationBox();
}

TEST_F(GrabWindowTextTest, AGrabNestedInTheCopyWaitLeavesTheOuterResultIntact) {
    const auto field = AppLink().colFields()->Add("InvoiceNo", "");
    f.keyboard.source.selection = "A-17";
    f.keyboard.source.copyDelayPasses = 3;
    std::optional<std::string> inner;
    keyboard.onSend = [&] {
        if (inner)
            return;
        inner = "";
        // A second hotkey press, arriving while the first grab waits for its copy.
        f.loop.Post([&] {
            AppLink().GrabData();
            inner = field->value();
        });
    };
    AppLink().GrabData();
    EXPECT_EQ(inner, "A-17");
    EXPECT_EQ(field->value(), "A-17");
    EXPECT_EQ(f.journal.CountOf("Clipboard.Clear"), 2);
    EXPECT_EQ(f.keyboard.sent, Keys({"^c", "^c"}));
    EXPECT_TRUE(f.boxes.shown.empty());
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fake/FakeDesktop.h"
#include "hotkey/HotKeyArming.h"
#include "hotkey/modHotKey.h"
#include "link/clsAppLink.h"
#include "platform/Error.h"
#include "settings/KeyNames.h"

namespace vantrel {
namespace {

constexpr WindowHandle kMain = 0x4242;
constexpr int kF11 = 122;
constexpr int kF12 = 123;
constexpr std::uint32_t kWmPaint = 0x000F;

// Hotkey settings of Shift+Ctrl+F11 (registration form 4 + 2).
class HotKeyArmingTest : public ::testing::Test {
  protected:
    HotKeyArmingTest() {
        ResetAppLink();
        modHotKey::Reset();
        modHotKey::SetMainWindow([] { return kMain; });
        Settings().HotKeyShift(3);
        Settings().HotKey(kF11);
    }
    ~HotKeyArmingTest() override {
        arming.reset();
        modHotKey::Reset();
        ResetAppLink();
    }
    static clsSettings& Settings() { return AppLink().oSettings(); }
    // What the main window passes: the key in the settings, read when asked.
    static HotKeyCombination KeyInSettings() {
        return {Settings().HotKeyMod(), Settings().HotKey(),
                HotKeyLabel(Settings().HotKeyShift(), Settings().HotKey())};
    }
    HotKeyArming& Arming() { return *arming; }

    bool Installed() { return d.procs.Current(kMain) == d.procs.AddressOf(&modHotKey::WindowProc); }
    // The registration the platform holds for the main window, if any.
    std::optional<fake::FakeHotKeys::Registration> Registered(int id) const {
        const auto it = d.hotkeys.registered.find({kMain, id});
        if (it == d.hotkeys.registered.end())
            return std::nullopt;
        return it->second;
    }
    // A message to the main window reaches its own procedure exactly once.
    void ExpectOneWorkingReplacement() {
        const std::size_t before = d.procs.ownProcCalls.size();
        EXPECT_EQ(d.procs.CallProc(d.procs.Current(kMain), kMain, kWmPaint, 0, 0),
                  d.procs.ownProcResult);
        ASSERT_EQ(d.procs.ownProcCalls.size(), before + 1);
        EXPECT_EQ(d.procs.ownProcCalls.back().proc, fake::FakeWindowProcs::OwnProcOf(kMain));
    }

    fake::FakeDesktop d;
    int mainWindowAsked = 0;
    std::optional<HotKeyArming> arming{std::in_place,
                                       [this] {
                                           ++mainWindowAsked;
                                           return kMain;
                                       },
                                       &KeyInSettings};
};

constexpr int kFirstAtom = 0xC000;

// --- the four states

TEST_F(HotKeyArmingTest, ArmingFromDisarmedInstallsThenRegistersTheSettingsKey) {
    Arming().EnableHotKey(true);
    EXPECT_TRUE(Arming().HotKeyRegistered());
    EXPECT_TRUE(Installed());
    const auto reg = Registered(kFirstAtom);
    ASSERT_TRUE(reg);
    EXPECT_EQ(reg->modifiers, 6);
    EXPECT_EQ(reg->vk, kF11);
    const std::vector<std::string> expected = {"WindowProcs.Install", "GlobalAtoms.Add",
                                               "HotKeys.Register"};
    EXPECT_EQ(d.journal.calls, expected);
    EXPECT_TRUE(d.boxes.shown.empty());
    ExpectOneWorkingReplacement();
}

TEST_F(HotKeyArmingTest, ArmingWhenArmedChangesNothingEvenWithNewSettings) {
    Arming().EnableHotKey(true);
    Settings().HotKey(kF12);
    Settings().HotKeyShift(0);
    d.journal.calls.clear();
    Arming().EnableHotKey(true);
    EXPECT_TRUE(d.journal.calls.empty());
    EXPECT_EQ(Registered(kFirstAtom)->vk, kF11);
    EXPECT_EQ(Registered(kFirstAtom)->modifiers, 6);
    EXPECT_TRUE(Arming().HotKeyRegistered());
}

TEST_F(HotKeyArmingTest, DisarmingFromArmedUnregistersThenRemovesTheReplacement) {
    Arming().EnableHotKey(true);
    d.journal.calls.clear();
    Arming().EnableHotKey(false);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_FALSE(Registered(kFirstAtom));
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
    const std::vector<std::string> expected = {"HotKeys.Unregister", "WindowProcs.Install"};
    EXPECT_EQ(d.journal.calls, expected);

    // New settings take effect through the disarm and a new arm.
    Settings().HotKey(kF12);
    Arming().EnableHotKey(true);
    EXPECT_EQ(Registered(kFirstAtom)->vk, kF12);
}

TEST_F(HotKeyArmingTest, DisarmingWhenDisarmedDoesNothing) {
    Arming().EnableHotKey(false);
    EXPECT_TRUE(d.journal.calls.empty());
    EXPECT_EQ(mainWindowAsked, 0);
    EXPECT_FALSE(Arming().HotKeyRegistered());
}

TEST_F(HotKeyArmingTest, RegistrationFailedKeepsTheReplacementAndRetriesOnArming) {
    d.hotkeys.heldElsewhere.insert({6, kF11});
    Arming().EnableHotKey(true);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_TRUE(Installed());
    EXPECT_TRUE(d.boxes.shown.empty());  // refused quietly
    EXPECT_EQ(d.log.lines,
              std::vector<std::string>{"hotkey Ctrl-Shift F11 refused: another program holds it"});

    // Disarming from here changes nothing; the replacement stays.
    d.journal.calls.clear();
    Arming().EnableHotKey(false);
    EXPECT_TRUE(d.journal.calls.empty());
    EXPECT_TRUE(Installed());

    // Arming again installs again and registers what the settings say now.
    Settings().HotKey(kF12);
    Arming().EnableHotKey(true);
    EXPECT_EQ(d.procs.installs, 2);
    EXPECT_TRUE(Arming().HotKeyRegistered());
    EXPECT_EQ(Registered(kFirstAtom)->vk, kF12);
    EXPECT_EQ(d.log.lines.back(), "hotkey Ctrl-Shift F12 registered");
    EXPECT_TRUE(Installed());
    ExpectOneWorkingReplacement();

    Arming().EnableHotKey(false);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
}

TEST_F(HotKeyArmingTest, UnregistrationFailedStillRemovesTheReplacementAndRetriesOnDisarming) {
    Arming().EnableHotKey(true);
    d.hotkeys.refuseUnregister = true;
    Arming().EnableHotKey(false);
    EXPECT_TRUE(Arming().HotKeyRegistered());
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
    EXPECT_TRUE(d.boxes.shown.empty());

    // Arming from here changes nothing.
    d.journal.calls.clear();
    Arming().EnableHotKey(true);
    EXPECT_TRUE(d.journal.calls.empty());

    // Disarming retries the unregistration and removes the replacement again.
    d.hotkeys.refuseUnregister = false;
    Arming().EnableHotKey(false);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_FALSE(Registered(kFirstAtom));
    const std::vector<std::string> expected = {"HotKeys.Unregister", "WindowProcs.Install"};
    EXPECT_EQ(d.journal.calls, expected);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
}

// The platform's raw answer; only exactly 1 counts as registered.
class OddHotKeys : public HotKeys {
  public:
    int Register(WindowHandle, int, int, int) override { return answer; }
    int Unregister(WindowHandle, int) override { return 1; }
    int answer = 1;
};

TEST_F(HotKeyArmingTest, OnlyARegistrationResultOf1Counts) {
    OddHotKeys odd;
    Desktop withOdd{d.settings,  d.clipboard, d.keyboard, d.windows, d.files,
                    d.processes, d.boxes,     d.loop,     odd,       d.atoms,
                    d.clock,     d.procs,     d.tray,     d.registry};
    const DesktopScope scope(withOdd);
    for (const int answer : {2, -1, 0, 1}) {
        SCOPED_TRACE(answer);
        odd.answer = answer;
        HotKeyArming fresh([] { return kMain; }, &KeyInSettings);
        fresh.EnableHotKey(true);
        EXPECT_EQ(fresh.HotKeyRegistered(), answer == 1);
    }
}

// --- the key from the settings

TEST_F(HotKeyArmingTest, ModifiersAndKeyGoOverWithTheirSign) {
    struct Row {
        std::int16_t shift, key;
        int modifiers, vk;
    };
    // clang-format off
    constexpr Row kRows[] = {
        {0, kF11, 0, kF11},   // the bare key
        {1, 'A', 4, 'A'},     // Shift
        {4, kF12, 1, kF12},   // Alt
        {7, 0x70, 7, 0x70},
        {0, -2, 0, -2},       // widened with its sign
    };
    // clang-format on
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.key);
        fake::FakeDesktop fresh;
        HotKeyArming a([] { return kMain; }, &KeyInSettings);
        Settings().HotKeyShift(r.shift);
        Settings().HotKey(r.key);
        a.EnableHotKey(true);
        ASSERT_EQ(fresh.hotkeys.registered.size(), 1u);
        EXPECT_EQ(fresh.hotkeys.registered.begin()->second.modifiers, r.modifiers);
        EXPECT_EQ(fresh.hotkeys.registered.begin()->second.vk, r.vk);
    }
}

// --- the identifier

TEST_F(HotKeyArmingTest, OneAtomNamedAtTheFirstArmingServesTheWholeRun) {
    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Add"), 0);  // not made before it is needed
    d.clock.now = "07/12/2026 09:00:01";
    Arming().EnableHotKey(true);
    d.clock.now = "07/12/2026 09:30:00";
    Arming().EnableHotKey(false);
    Arming().EnableHotKey(true);
    d.hotkeys.refuseUnregister = true;
    Arming().EnableHotKey(false);
    d.hotkeys.refuseUnregister = false;
    Arming().EnableHotKey(false);

    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Add"), 1);
    ASSERT_EQ(d.atoms.atoms.size(), 1u);
    EXPECT_EQ(d.atoms.atoms.begin()->first, kFirstAtom);
    EXPECT_EQ(d.atoms.atoms.begin()->second, "07/12/2026 09:00:01");
    EXPECT_EQ(d.hotkeys.registerCalls, 2);
    EXPECT_EQ(d.hotkeys.unregisterCalls, 3);
    EXPECT_TRUE(d.hotkeys.registered.empty());  // every call named the same identifier

    arming.reset();
    EXPECT_TRUE(d.atoms.atoms.empty());
    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Delete"), 1);
}

TEST_F(HotKeyArmingTest, RefusedAtomIsUsedAsIdentifier0) {
    d.atoms.refuse = true;
    Arming().EnableHotKey(true);
    EXPECT_TRUE(Arming().HotKeyRegistered());
    EXPECT_TRUE(Registered(0));
    d.atoms.refuse = false;
    Arming().EnableHotKey(false);
    Arming().EnableHotKey(true);
    EXPECT_TRUE(Registered(0));
    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Add"), 1);
    arming.reset();
    EXPECT_EQ(d.journal.CountOf("GlobalAtoms.Delete"), 1);
}

TEST_F(HotKeyArmingTest, NoArmingNoAtom) {
    arming.reset();
    EXPECT_TRUE(d.journal.calls.empty());
}

// --- failures

TEST_F(HotKeyArmingTest, FailuresWhileGettingTheIdentifierGoToTheCaller) {
    d.journal.Fail("GlobalAtoms.Add");
    EXPECT_THROW(Arming().EnableHotKey(true), Error);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_EQ(d.hotkeys.registerCalls, 0);
    EXPECT_TRUE(Installed());  // put in before the failure

    d.journal.Heal();
    Arming().EnableHotKey(true);
    EXPECT_TRUE(Arming().HotKeyRegistered());
    ExpectOneWorkingReplacement();
}

TEST_F(HotKeyArmingTest, FailureOfTheMainWindowGoesToTheCaller) {
    HotKeyArming noWindow([]() -> WindowHandle { throw Error("no main window"); }, &KeyInSettings);
    EXPECT_THROW(noWindow.EnableHotKey(true), Error);
    EXPECT_FALSE(noWindow.HotKeyRegistered());
}

TEST_F(HotKeyArmingTest, RefusedReplacementIsShownAndTheKeyRegisteredAllTheSame) {
    d.journal.Fail("WindowProcs.Install");
    Arming().EnableHotKey(true);
    ASSERT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.boxes.shown[0].text, "error in modHotKey.Hook: WindowProcs.Install failed");
    EXPECT_TRUE(Arming().HotKeyRegistered());

    // Nothing was saved, so there is nothing to put back: no null procedure
    // goes into the window.
    d.journal.Heal();
    Arming().EnableHotKey(false);
    EXPECT_FALSE(Arming().HotKeyRegistered());
    EXPECT_EQ(d.boxes.shown.size(), 1u);
    EXPECT_EQ(d.journal.CountOf("WindowProcs.Install"), 1);
    EXPECT_EQ(d.procs.Current(kMain), fake::FakeWindowProcs::OwnProcOf(kMain));
}

}  // namespace
}  // namespace vantrel

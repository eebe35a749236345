// Walks one failure at a time through the user's three roads into the
// program: a hotkey press (index and search), the Settings command from the
// tray, and the about box's System Information button. Each road runs once
// cleanly to learn which desktop operations it uses; then, on a fresh desktop
// each time, once per operation with that operation failing. The tables below
// say which boxes each failure may show, what must not happen after it, and
// whether it may leave the hotkey disarmed; after the desktop heals, the next
// press must hand the capture to the runner in full.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "FakeMainWindow.h"
#include "about/frmAbout.h"
#include "app/frmmain.h"
#include "hotkey/modHotKey.h"
#include "link/IndexScript.h"
#include "link/clsAppLink.h"
#include "settings/frmSettings.h"

namespace vantrel {
namespace {

using fake::FakeDesktop;
using fake::FakeFiles;
using fake::FakeMainWindow;

constexpr std::int32_t kRightButtonUp = 517;
constexpr int kVkF9 = 120;
constexpr const char* kSourceTitle = "Billing";
constexpr const char* kScriptsFolder = "c:\\program files\\tallowin\\scripts";
constexpr const char* kMsinfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kMsinfoPath =
    "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
constexpr const char* kMsinfoFolder = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";

struct Box {
    std::string text;
    Modality modality;
    bool operator==(const Box&) const = default;
};

void PrintTo(const Box& box, std::ostream* os) {
    *os << '"' << box.text << '"' << (box.modality == Modality::System ? " (system-modal)" : "");
}

const Box kActivating{"error activating: 'Billing' window.", Modality::System};
const Box kNoData{"no data found", Modality::System};
const Box kUnavailable{"System Information Is Unavailable At This Time", Modality::Application};

Box HandlerBox(const std::string& handler, const std::string& op) {
    return {"error in " + handler + ": " + op + " failed", Modality::Application};
}

// A source program "Billing" with A-17 selected, the imaging application, the
// runner's folder with an old script, System Information, and the stored
// settings of a configured user; the main window loaded and the hotkey armed.
class World {
  public:
    World() {
        d.settings.Store("SourceWindow", kSourceTitle);
        d.settings.Store("Field", "InvoiceNo");
        d.settings.Store("AppName", "AP");
        d.settings.Store("Hotkey", "122");
        d.settings.Store("HotKeyShift", "0");
        d.settings.Store("SaveNext", "True");
        d.windows.titles = {"Billing - Customer 17", "Document Center"};
        d.keyboard.source = {"A-17 and more", "A-17"};
        d.files.folders.insert(FakeFiles::Key(kScriptsFolder));
        d.files.files[FakeFiles::Key(kScriptExistsPath)] = "old script";
        form.Form_Load();
        d.journal.calls.clear();
    }
    ~World() {
        d.journal.Heal();
        if (form.Loaded())
            form.Handle(Handler::frmmain_Form_Unload, [this] { form.Unload(); });
        modHotKey::Reset();
        ResetAppLink();
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // As the system delivers it: to whatever procedure the main window has now.
    void PressHotKey() {
        d.procs.CallProc(d.procs.Current(FakeMainWindow::kHandle), FakeMainWindow::kHandle,
                         kWmHotKey, 0xC000, 0);
    }

    // A right click on the tray icon choosing `command`, inside the handler
    // wrapper the real window puts around its mouse-move handler.
    void ChooseFromTray(MainCommand command) {
        host.chosen = command;
        form.Handle(Handler::frmmain_Form_MouseMove,
                    [this] { form.Form_MouseMove(kRightButtonUp); });
    }

    // The key the platform holds for the main window, if any.
    std::optional<fake::FakeHotKeys::Registration> Registered() const {
        const auto it =
            std::find_if(d.hotkeys.registered.begin(), d.hotkeys.registered.end(),
                         [](const auto& r) { return r.first.first == FakeMainWindow::kHandle; });
        if (it == d.hotkeys.registered.end())
            return std::nullopt;
        return it->second;
    }

    std::vector<Box> Boxes() const {
        std::vector<Box> out;
        for (const fake::ShownBox& b : d.boxes.shown) {
            EXPECT_EQ(b.caption, "Vantrel") << b.text;
            out.push_back({b.text, b.modality});
        }
        return out;
    }

    // Before the window: it tells the hotkey module where it is.
    struct Fresh {
        Fresh() {
            ResetAppLink();
            modHotKey::Reset();
        }
    } fresh;
    FakeDesktop d;
    FakeMainWindow host{d};
    frmmain form{host};
};

// Runs one of the settings dialog's handlers as its window does: a failure
// is shown as "error in <handler>: ..." and the dialog stays.
bool DialogHandler(const char* handler, const std::function<void()>& body) {
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        CurrentDesktop().boxes.Show(std::string("error in ") + handler + ": " + e.what(), "Vantrel",
                                    Modality::Application);
        return false;
    }
}

// The user presses F9 in the hotkey box and OK.
std::optional<SettingsValues> ChooseF9InTheDialog(const SettingsValues& shown) {
    frmSettings dialog;
    frmSettingsView view;
    if (!DialogHandler("frmSettings.Form_Load", [&] { view = dialog.Form_Load(shown); }))
        return std::nullopt;
    DialogHandler("frmSettings.txtHotKey_KeyDown", [&] {
        if (const auto key = dialog.txtHotKey_KeyDown(kVkF9, 0))
            view.txtHotKey = *key;
    });
    std::optional<SettingsValues> confirmed;
    DialogHandler("frmSettings.cmdOK_Click", [&] { confirmed = dialog.cmdOK_Click(view); });
    return confirmed;
}

// One failing operation: the boxes it may show, in order, and the operations
// that must not be attempted after the failure.
struct FaultRow {
    std::string op;
    std::vector<Box> boxes;
    std::vector<std::string> notAfter;
    bool leavesHotKeyDisarmed = false;
};

struct Road {
    const char* name;
    std::function<void(World&)>
        arrange;  // on the loaded world, before the clean run and each fault
    std::function<void(World&)> act;
    std::function<void(World&)> checkClean;
    std::vector<FaultRow> faults;
};

// What must not follow a failure in the hand-off: nothing written, started or
// activated any more.
const std::vector<std::string> kLaunch{"Files.IsPlainFile", "Files.Delete",
                                       "Files.WriteNewAnsiTextFile", "Processes.Start",
                                       "TopWindows.ActivateByTitle"};
const std::vector<std::string> kAfterGrab{"Keyboard.Send",   "Files.IsPlainFile",
                                          "Files.Delete",    "Files.WriteNewAnsiTextFile",
                                          "Processes.Start", "TopWindows.ActivateByTitle"};
const std::vector<std::string> kEverything{"Clipboard.Clear",    "Keyboard.Send",
                                           "Clipboard.ReadText", "Files.IsPlainFile",
                                           "Files.Delete",       "Files.WriteNewAnsiTextFile",
                                           "Processes.Start",    "TopWindows.ActivateByTitle"};

std::string ExpectedSearchLine() {
    return SearchCommandLine("AP", "InvoiceNo", "A-17");
}

// The runner and System Information are the only programs the program starts,
// and the runner only ever with one of its two command lines.
void ExpectOnlyKnownPrograms(const World& w) {
    for (const fake::StartedProcess& p : w.d.processes.started) {
        if (p.program == kRunnerProgram) {
            EXPECT_TRUE(p.commandLine == kIndexCommandLine || p.commandLine == ExpectedSearchLine())
                << p.commandLine;
            EXPECT_EQ(p.show, ShowState::MinimizedFocus);
        } else {
            EXPECT_EQ(FakeFiles::Key(p.program), FakeFiles::Key(kMsinfoPath));
            EXPECT_EQ(p.show, ShowState::NormalFocus);
        }
    }
}

// A press after everything healed: the capture goes to the runner in full.
void ExpectAWorkingPress(World& w) {
    const std::size_t startedBefore = w.d.processes.started.size();
    const std::size_t activatedBefore = w.d.windows.activated.size();
    w.d.boxes.shown.clear();
    w.PressHotKey();
    EXPECT_EQ(w.Boxes(), std::vector<Box>{});
    ASSERT_EQ(w.d.processes.started.size(), startedBefore + 1);
    const fake::StartedProcess& started = w.d.processes.started.back();
    EXPECT_EQ(started.program, kRunnerProgram);
    const bool indexes = AppLink().ProcedureType() == kIndexProcedure;
    EXPECT_EQ(started.commandLine, indexes ? std::string(kIndexCommandLine) : ExpectedSearchLine());
    if (indexes) {
        EXPECT_EQ(w.d.files.Content(kScriptPath),
                  IndexScript("InvoiceNo", AppLink().oSettings().savenext()));
    }
    ASSERT_EQ(w.d.windows.activated.size(), activatedBefore + 2);
    EXPECT_EQ(w.d.windows.activated.back(), "Document Center");
}

std::vector<std::string> DistinctOps(const std::vector<std::string>& calls) {
    std::vector<std::string> ops;
    for (const std::string& c : calls) {
        if (std::find(ops.begin(), ops.end(), c) == ops.end())
            ops.push_back(c);
    }
    return ops;
}

void Walk(const Road& road) {
    std::vector<std::string> ops;
    {
        SCOPED_TRACE(std::string(road.name) + ", clean");
        World w;
        road.arrange(w);
        w.d.journal.calls.clear();
        ASSERT_NO_THROW(road.act(w));
        EXPECT_EQ(w.Boxes(), std::vector<Box>{});
        road.checkClean(w);
        ExpectOnlyKnownPrograms(w);
        ops = DistinctOps(w.d.journal.calls);
    }

    // The table and the road must agree, so a new operation on the road
    // cannot go unwalked.
    std::set<std::string> tabled;
    for (const FaultRow& row : road.faults) tabled.insert(row.op);
    EXPECT_EQ(tabled, std::set<std::string>(ops.begin(), ops.end())) << road.name;

    for (const FaultRow& row : road.faults) {
        SCOPED_TRACE(std::string(road.name) + ", failing " + row.op);
        World w;
        road.arrange(w);
        w.d.journal.calls.clear();
        w.d.journal.Fail(row.op);
        ASSERT_NO_THROW(road.act(w));

        EXPECT_EQ(w.Boxes(), row.boxes);
        const std::vector<std::string>& calls = w.d.journal.calls;
        const auto failed = std::find(calls.begin(), calls.end(), row.op);
        ASSERT_NE(failed, calls.end()) << "the operation was never reached";
        for (auto it = std::next(failed); it != calls.end(); ++it) {
            EXPECT_EQ(std::count(row.notAfter.begin(), row.notAfter.end(), *it), 0)
                << *it << " was attempted after " << row.op << " failed";
        }
        ExpectOnlyKnownPrograms(w);
        // Whatever failed, the one key in force is the one in the settings.
        if (const auto reg = w.Registered()) {
            EXPECT_EQ(reg->vk, AppLink().oSettings().HotKey());
            EXPECT_EQ(reg->modifiers, AppLink().oSettings().HotKeyMod());
        }
        EXPECT_EQ(w.form.HotKey().HotKeyRegistered(), !row.leavesHotKeyDisarmed);
        EXPECT_EQ(w.Registered().has_value(), !row.leavesHotKeyDisarmed);

        w.d.journal.Heal();
        if (row.leavesHotKeyDisarmed) {
            // The user's way back: the Settings command again, cancelled.
            w.host.answer = nullptr;
            w.d.boxes.shown.clear();
            w.ChooseFromTray(MainCommand::Settings);
            ASSERT_TRUE(w.Registered());
        }
        ExpectAWorkingPress(w);
        ExpectOnlyKnownPrograms(w);
    }
}

TEST(FaultWalk, IndexingPressWithSaveNext) {
    Walk({
        "index",
        [](World&) {},
        [](World& w) { w.PressHotKey(); },
        [](World& w) {
            ASSERT_EQ(w.d.processes.started.size(), 1u);
            EXPECT_EQ(w.d.processes.started[0].commandLine, kIndexCommandLine);
            EXPECT_EQ(w.d.files.Content(kScriptPath), IndexScript("InvoiceNo", true));
            EXPECT_EQ(w.d.windows.activated,
                      (std::vector<std::string>{"Billing - Customer 17", "Document Center"}));
        },
        // clang-format off
        {
            {"Host.Handle",                {HandlerBox("modHotKey.WindowProc", "Host.Handle")}, kEverything},
            {"Clipboard.Clear",            {kActivating, kNoData}, kAfterGrab},
            {"TopWindows.ActivateByTitle", {kActivating, kNoData}, kAfterGrab},
            {"Keyboard.Send",              {kActivating, kNoData}, kAfterGrab},
            {"Clipboard.ReadText",         {kActivating, kNoData}, kAfterGrab},
            {"Files.IsPlainFile",          {}, kLaunch},
            {"Files.Delete",               {}, kLaunch},
            {"Files.WriteNewAnsiTextFile", {}, kLaunch},
            {"Files.RemoveVirtualStoreCopy", {}, {}},  // best effort: the runner still starts
            {"Processes.Start",            {}, kLaunch},
        },
        // clang-format on
    });
}

TEST(FaultWalk, SearchingPress) {
    Walk({
        "search",
        [](World&) { AppLink().ProcedureType(1); },
        [](World& w) { w.PressHotKey(); },
        [](World& w) {
            ASSERT_EQ(w.d.processes.started.size(), 1u);
            EXPECT_EQ(w.d.processes.started[0].commandLine, ExpectedSearchLine());
            EXPECT_EQ(w.d.journal.CountOf("Files.WriteNewAnsiTextFile"), 0);
            EXPECT_EQ(w.d.windows.activated.back(), "Document Center");
        },
        // clang-format off
        {
            {"Host.Handle",                {HandlerBox("modHotKey.WindowProc", "Host.Handle")}, kEverything},
            {"Clipboard.Clear",            {kActivating, kNoData}, kAfterGrab},
            {"TopWindows.ActivateByTitle", {kActivating, kNoData}, kAfterGrab},
            {"Keyboard.Send",              {kActivating, kNoData}, kAfterGrab},
            {"Clipboard.ReadText",         {kActivating, kNoData}, kAfterGrab},
            {"Processes.Start",            {}, kLaunch},
        },
        // clang-format on
    });
}

TEST(FaultWalk, SettingsCommandFromTheTray) {
    const std::vector<std::string> kCommand{"HotKeys.Unregister", "Host.ShowSettingsDialog",
                                            "SettingsStore.Write", "WindowProcs.Install",
                                            "HotKeys.Register"};
    const std::vector<std::string> kDialogOn{"SettingsStore.Write", "WindowProcs.Install",
                                             "HotKeys.Register"};
    Walk({
        "settings",
        [](World& w) {
            // When the save fails the dialog comes back, and the user gives up with Cancel.
            w.host.answer = [&w](const SettingsValues& shown) {
                return w.host.shownValues.size() > 1 ? std::nullopt : ChooseF9InTheDialog(shown);
            };
        },
        [](World& w) { w.ChooseFromTray(MainCommand::Settings); },
        [](World& w) {
            ASSERT_TRUE(w.Registered());
            EXPECT_EQ(w.Registered()->vk, kVkF9);
            EXPECT_EQ(w.Registered()->modifiers, 0);
            EXPECT_EQ(w.d.settings.values.at(fake::FakeSettingsStore::Key("Hotkey")), "120");
            EXPECT_EQ(AppLink().colFields()->Count(), 1);
            EXPECT_EQ(AppLink().colFields()->Item(1)->Field(), "InvoiceNo");
        },
        // clang-format off
        {
            {"Host.SetForeground",     {HandlerBox("frmmain.Form_MouseMove", "Host.SetForeground")}, kCommand},
            {"Host.PopupOptionsMenu",  {HandlerBox("frmmain.Form_MouseMove", "Host.PopupOptionsMenu")}, kCommand},
            {"Host.Handle",            {HandlerBox("frmmain.Settings_Click", "Host.Handle")}, kCommand},
            {"HotKeys.Unregister",     {HandlerBox("frmmain.Settings_Click", "HotKeys.Unregister")}, kCommand},
            // Hook and Unhook report their own failures and the command goes on.
            {"WindowProcs.Install",    {HandlerBox("modHotKey.Unhook", "WindowProcs.Install"),
                                        HandlerBox("modHotKey.Hook", "WindowProcs.Install")}, {}},
            {"Host.ShowSettingsDialog", {HandlerBox("frmmain.Settings_Click", "Host.ShowSettingsDialog")},
                                       {"SettingsStore.Write"}},
            // The save fails; the user cancels the dialog it brings back, and
            // the command goes on with the key chosen, unsaved.
            {"SettingsStore.Write",    {HandlerBox("frmSettings.cmdOK_Click", "SettingsStore.Write")}, {}},
            {"HotKeys.Register",       {HandlerBox("frmmain.Settings_Click", "HotKeys.Register")}, {}, true},
        },
        // clang-format on
    });
}

TEST(FaultWalk, SystemInformationFoundThroughItsFolder) {
    Walk({
        "System Info by folder",
        [](World& w) {
            w.d.registry.SetString(kLocationKey, "MSINFO", kMsinfoFolder);
            w.d.files.files[FakeFiles::Key(std::string(kMsinfoFolder) + "\\MSINFO32.EXE")] = "";
        },
        [](World&) { frmAbout::StartSysInfo(); },
        [](World& w) {
            ASSERT_EQ(w.d.processes.started.size(), 1u);
            EXPECT_EQ(FakeFiles::Key(w.d.processes.started[0].program),
                      FakeFiles::Key(kMsinfoPath));
        },
        // clang-format off
        {
            {"Registry.QueryMachineValue", {kUnavailable}, {"Files.IsPlainFile", "Processes.Start"}},
            {"Files.IsPlainFile",          {kUnavailable}, {"Processes.Start"}},
            {"Processes.Start",            {kUnavailable}, {}},
        },
        // clang-format on
    });
}

TEST(FaultWalk, SystemInformationFoundByItsPath) {
    Walk({
        "System Info by path",
        [](World& w) { w.d.registry.SetString(kMsinfoKey, "PATH", kMsinfoPath); },
        [](World&) { frmAbout::StartSysInfo(); },
        [](World& w) {
            ASSERT_EQ(w.d.processes.started.size(), 1u);
            EXPECT_EQ(w.d.processes.started[0].program, kMsinfoPath);
        },
        // clang-format off
        {
            {"Registry.QueryMachineValue", {kUnavailable}, {"Files.IsPlainFile", "Processes.Start"}},
            {"Processes.Start",            {kUnavailable}, {}},
        },
        // clang-format on
    });
}

}  // namespace
}  // namespace vantrel

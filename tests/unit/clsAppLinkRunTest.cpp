#include <gtest/gtest.h>

#include "fake/FakeDesktop.h"
#include "link/IndexScript.h"
#include "link/clsAppLink.h"

namespace vantrel {
namespace {

constexpr char kRunner[] = "C:\\program files\\tallowin\\scripts\\brisklet.exe";
constexpr char kScript[] = "C:\\Program Files\\Tallowin\\Scripts\\brisklet.sc";  // any case

class clsAppLinkRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetAppLink();
        clsAppLink& link = AppLink();
        link.oSettings().Field("InvoiceNo");
        link.oSettings().AppName("AP");
        field = link.colFields()->Add("InvoiceNo", "");
        field->value("A-17");
        f.files.folders.insert(fake::FakeFiles::Key("c:\\program files\\tallowin\\scripts"));
        f.windows.titles = {"Document Center"};
    }
    void TearDown() override { ResetAppLink(); }

    void ExpectNothingLaunched() {
        EXPECT_TRUE(f.processes.started.empty());
        EXPECT_TRUE(f.windows.activated.empty());
    }
    void ExpectNoBox() { EXPECT_TRUE(f.boxes.shown.empty()); }

    fake::FakeDesktop f;
    std::shared_ptr<clsFieldDef> field;
};

TEST_F(clsAppLinkRunTest, RunIndexWritesTheScriptStartsTheRunnerAndActivatesDocumentCenter) {
    const int passesBefore = f.loop.passes;
    int passesAtStart = -1;
    std::size_t linesAtStart = 1;
    f.processes.onStart = [&](const fake::StartedProcess&) {
        passesAtStart = f.loop.passes;
        linesAtStart = f.log.lines.size();
    };
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), IndexScript("InvoiceNo", false));
    ASSERT_EQ(f.processes.started.size(), 1u);
    EXPECT_EQ(f.processes.started[0].program, kRunner);
    EXPECT_EQ(f.processes.started[0].commandLine,
              "C:\\program files\\tallowin\\scripts\\brisklet.exe C:\\program "
              "files\\tallowin\\scripts\\brisklet.sc");
    EXPECT_EQ(f.processes.started[0].show, ShowState::MinimizedFocus);
    EXPECT_GT(passesAtStart, passesBefore) << "pending messages run before the runner starts";
    EXPECT_EQ(linesAtStart, 0u) << "the log waits until the runner has started";
    EXPECT_EQ(f.windows.activated, std::vector<std::string>{"Document Center"});
    EXPECT_EQ(f.journal.calls,
              (std::vector<std::string>{"Files.IsPlainFile", "Files.WriteNewAnsiTextFile",
                                        "Files.RemoveVirtualStoreCopy", "Processes.Start",
                                        "TopWindows.ActivateByTitle"}));
    EXPECT_EQ(f.log.lines, (std::vector<std::string>{
                               "script written: c:\\program files\\Tallowin\\scripts\\brisklet.sc",
                               "runner started: " + std::string(kIndexCommandLine),
                               "Document Center activated"}));
    ExpectNoBox();
}

// An old tool that ran virtualized left its script in the user's VirtualStore,
// where a virtualized runner would read it instead of the new one.
TEST_F(clsAppLinkRunTest, AStaleVirtualStoreCopyIsRemovedAndFailingToDoSoStopsNothing) {
    f.files.virtualStore.insert(fake::FakeFiles::Key(kScript));
    AppLink().RunIndex();
    EXPECT_TRUE(f.files.virtualStore.empty());
    EXPECT_EQ(f.log.lines.at(1), "stale copy of the script removed from the VirtualStore");

    f.log.lines.clear();
    f.journal.Fail("Files.RemoveVirtualStoreCopy");
    AppLink().RunIndex();
    EXPECT_EQ(f.log.lines.at(1),
              "stale copy of the script could not be removed: Files.RemoveVirtualStoreCopy failed");
    EXPECT_EQ(f.processes.started.size(), 2u);
    EXPECT_EQ(f.windows.activated.size(), 2u);
    ExpectNoBox();
}

TEST_F(clsAppLinkRunTest, RunIndexScriptFollowsFieldOneAndSaveNext) {
    field->Field("Vendor \"Nr\"");
    AppLink().oSettings().Field("not this one");
    AppLink().oSettings().savenext(true);
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), IndexScript("Vendor \"Nr\"", true));

    // A stored name the script cannot carry as written: a line break would add
    // statements, a fullwidth quote would turn into a plain one.
    for (const char* name :
         {"InvoiceNo\") = Clipboard\r\nIndex.Save\r\nx(\"", "Vendor \xEF\xBC\x82Nr"}) {
        SCOPED_TRACE(name);
        f.files.files[fake::FakeFiles::Key(kScript)] = "Sub old()\r\n";
        f.processes.started.clear();
        f.windows.activated.clear();
        field->Field(name);
        AppLink().RunIndex();
        EXPECT_EQ(f.files.Content(kScript), "Sub old()\r\n");
        ExpectNothingLaunched();
        ExpectNoBox();
    }
}

TEST_F(clsAppLinkRunTest, AnOldScriptIsReplacedNeverAppendedTo) {
    f.files.files[fake::FakeFiles::Key(kScript)] = "Sub old()\r\n";
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), IndexScript("InvoiceNo", false));
    EXPECT_EQ(f.journal.CountOf("Files.Delete"), 1);

    // A hidden old script escapes the plain-file test and is not deleted first.
    f.files.hidden.insert(fake::FakeFiles::Key(kScript));
    f.files.files[fake::FakeFiles::Key(kScript)] = "Sub old()\r\n";
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), IndexScript("InvoiceNo", false));
    EXPECT_EQ(f.journal.CountOf("Files.Delete"), 1);
    EXPECT_EQ(f.processes.started.size(), 2u);
}

TEST_F(clsAppLinkRunTest, RunSearchStartsTheSearchLineWithTheSettingsField) {
    field->Field("ignored by the search");
    field->value("O'Brien;1");
    AppLink().RunSearch();
    ASSERT_EQ(f.processes.started.size(), 1u);
    EXPECT_EQ(f.processes.started[0].program, kRunner);
    EXPECT_EQ(f.processes.started[0].commandLine,
              "C:\\program files\\tallowin\\scripts\\brisklet.exe "
              "Index=AP;Criteria=InvoiceNo='O'Brien;1'");
    EXPECT_EQ(f.processes.started[0].show, ShowState::MinimizedFocus);
    EXPECT_EQ(f.windows.activated, std::vector<std::string>{"Document Center"});
    EXPECT_EQ(f.journal.CountOf("Files.WriteNewAnsiTextFile"), 0);
    EXPECT_EQ(f.log.lines, (std::vector<std::string>{"runner started for a search",
                                                     "Document Center activated"}))
        << "the command line holds the captured value, which is never logged";
    ExpectNoBox();
}

TEST_F(clsAppLinkRunTest, EmptyOrMissingValueGivesTheBoxAndLaunchesNothing) {
    for (auto run : {&clsAppLink::RunIndex, &clsAppLink::RunSearch}) {
        field->value("");
        (AppLink().*run)();
        AppLink().colFields()->Remove(1);
        (AppLink().*run)();
        AppLink().colFields(nullptr);
        (AppLink().*run)();
        field = AppLink().colFields()->Add("InvoiceNo", "");
    }
    ASSERT_EQ(f.boxes.shown.size(), 6u);
    for (const auto& box : f.boxes.shown) {
        EXPECT_EQ(box.text, "Error grabbing data from source window.");
        EXPECT_EQ(box.caption, "Vantrel");
        EXPECT_EQ(box.modality, Modality::System);
    }
    ExpectNothingLaunched();
    EXPECT_EQ(f.journal.CountOf("Files.WriteNewAnsiTextFile"), 0);
}

// Quiet for the user, but the log says why.
TEST_F(clsAppLinkRunTest, NoScriptsFolderEndsQuietlyBeforeTheRunner) {
    f.files.folders.clear();
    AppLink().RunIndex();
    ExpectNothingLaunched();
    ExpectNoBox();
    EXPECT_EQ(f.log.lines, std::vector<std::string>{
                               "index stopped: The system cannot find the path specified."});
}

TEST_F(clsAppLinkRunTest, AnUndeletableOldScriptEndsQuietlyAndStays) {
    f.files.files[fake::FakeFiles::Key(kScript)] = "Sub old()\r\n";
    f.files.undeletable.insert(fake::FakeFiles::Key(kScript));
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), "Sub old()\r\n");
    ExpectNothingLaunched();
    ExpectNoBox();
}

TEST_F(clsAppLinkRunTest, ARunnerThatCannotStartLeavesTheScriptAndActivatesNothing) {
    f.processes.missing.insert(fake::FakeFiles::Key(kRunner));
    AppLink().RunIndex();
    EXPECT_EQ(f.files.Content(kScript), IndexScript("InvoiceNo", false));
    AppLink().RunSearch();
    ExpectNothingLaunched();
    ExpectNoBox();
    EXPECT_EQ(f.log.lines.back(), "search stopped: The system cannot find the file specified.");
    EXPECT_EQ(f.log.lines.at(1), "index stopped: The system cannot find the file specified.");
}

TEST_F(clsAppLinkRunTest, NoDocumentCenterStillStartsTheRunner) {
    f.windows.titles = {"Document"};
    AppLink().RunIndex();
    AppLink().RunSearch();
    EXPECT_EQ(f.processes.started.size(), 2u);
    EXPECT_TRUE(f.windows.activated.empty());
    ExpectNoBox();
    EXPECT_EQ(f.log.lines.back(), "search stopped: No window is titled 'Document Center'.");
}

}  // namespace
}  // namespace vantrel

#include <gtest/gtest.h>

#include "app/CIAsystray.h"
#include "fake/FakeDesktop.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

class StubWindow : public TrayWindow {
  public:
    explicit StubWindow(WindowHandle h, std::string c = "Vantrel")
        : handle(h), caption(std::move(c)) {}
    WindowHandle Handle() override { return handle; }
    std::uintptr_t Icon() override { return icon; }
    std::string Caption() override {
        if (failCaption)
            throw Error("caption unavailable");
        return caption;
    }
    void Hide() override { events.push_back("Hide"); }
    void LeaveTaskList() override { events.push_back("LeaveTaskList"); }
    WindowHandle handle;
    std::string caption;
    std::uintptr_t icon = 0xABC;
    bool failCaption = false;
    std::vector<std::string> events;
};

TEST(CIAsystray, AddFillsTheFirstVersionOfTheRecordFromTheWindow) {
    fake::FakeDesktop d;
    StubWindow w(0x42);
    AddTrayIcon(w);
    ASSERT_EQ(d.tray.added.size(), 1u);
    const NotifyIconRecord& r = d.tray.added[0];
    EXPECT_EQ(r.size, sizeof(void*) == 4 ? 88u : 104u);
    EXPECT_EQ(r.window, 0x42u);
    EXPECT_EQ(r.id, 1u);
    EXPECT_EQ(r.flags, 7u);
    EXPECT_EQ(r.callbackMessage, 512u);
    EXPECT_EQ(r.icon, 0xABCu);
    EXPECT_EQ(r.tip, std::string("Vantrel") + '\0' + std::string(56, ' '));
    // Out of the task list and hidden only once the icon is there.
    EXPECT_EQ(w.events, (std::vector<std::string>{"LeaveTaskList", "Hide"}));
    RemoveTrayIcon(w);
}

TEST(CIAsystray, TipIsTheCaptionEndedByNulAndPaddedTo64Characters) {
    struct Row {
        std::string caption, tip;
    };
    const std::string c63(63, 'x');
    const std::string c64(64, 'y');
    const Row rows[] = {
        {"", std::string(1, '\0') + std::string(63, ' ')},
        {c63, c63 + '\0'},
        {c64, c64},          // no room left for the NUL
        {c64 + "zzz", c64},  // cut at the field's end
        {"a\tb", std::string("a\tb") + '\0' + std::string(60, ' ')},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(TrayTip(r.caption), r.tip) << "caption '" << r.caption << "'";
        EXPECT_EQ(TrayTip(r.caption).size(), 64u);
    }
}

TEST(CIAsystray, TipCountsCharactersNotBytes) {
    // 60 two-byte characters, 5 three-byte ones: cut after the 64th character.
    std::string caption;
    for (int i = 0; i < 60; ++i) caption += "\xC3\xA9";     // é
    for (int i = 0; i < 5; ++i) caption += "\xE2\x82\xAC";  // €
    std::string expected;
    for (int i = 0; i < 60; ++i) expected += "\xC3\xA9";
    for (int i = 0; i < 4; ++i) expected += "\xE2\x82\xAC";
    EXPECT_EQ(TrayTip(caption), expected);

    const std::string tip = TrayTip("Caf\xC3\xA9");
    EXPECT_EQ(tip, std::string("Caf\xC3\xA9") + '\0' + std::string(59, ' '));
}

TEST(CIAsystray, RemoveNamesTheIconThatWasAddedWhateverWindowIsGiven) {
    fake::FakeDesktop d;
    StubWindow added(0x42);
    StubWindow other(0x99, "Other");
    AddTrayIcon(added);
    RemoveTrayIcon(other);
    ASSERT_EQ(d.tray.removed.size(), 1u);
    EXPECT_EQ(d.tray.removed[0].window, 0x42u);
    EXPECT_EQ(d.tray.removed[0].id, 1u);
    EXPECT_EQ(d.tray.removed[0].tip, d.tray.added[0].tip);
    EXPECT_TRUE(other.events.empty());
}

TEST(CIAsystray, WindowThatCannotAnswerAddsNothingAndKeepsTheEarlierRecord) {
    fake::FakeDesktop d;
    StubWindow first(0x42);
    AddTrayIcon(first);
    StubWindow broken(0x77);
    broken.failCaption = true;
    EXPECT_THROW(AddTrayIcon(broken), Error);
    EXPECT_EQ(d.tray.added.size(), 1u);
    EXPECT_TRUE(broken.events.empty());  // neither hidden nor out of the task list
    RemoveTrayIcon(broken);
    EXPECT_EQ(d.tray.removed.at(0).window, 0x42u);
}

TEST(CIAsystray, RecreatedTaskBarGetsTheIconBackOnlyWhileItIsShown) {
    fake::FakeDesktop d;
    StubWindow w(0x42);
    AddTrayIcon(w);
    EXPECT_TRUE(TrayIconShown());
    RestoreTrayIcon();
    ASSERT_EQ(d.tray.added.size(), 2u);
    EXPECT_EQ(d.tray.added[1].window, 0x42u);
    EXPECT_EQ(d.tray.added[1].tip, d.tray.added[0].tip);
    EXPECT_EQ(w.events.size(), 2u);  // not hidden again
    EXPECT_EQ(d.log.lines.back(), "task bar re-created: tray icon added again");
    d.tray.refuse = true;
    RestoreTrayIcon();
    EXPECT_EQ(d.log.lines.back(),
              "task bar re-created: the tray refused the icon (it may still hold it)");

    RemoveTrayIcon(w);
    EXPECT_FALSE(TrayIconShown());
    RestoreTrayIcon();
    EXPECT_EQ(d.tray.added.size(), 3u);
}

TEST(CIAsystray, RefusedAddLeavesNoIconToRestore) {
    fake::FakeDesktop d;
    d.journal.Fail("Tray.Add");
    StubWindow w(0x42);
    EXPECT_THROW(AddTrayIcon(w), Error);
    EXPECT_FALSE(TrayIconShown());
    d.journal.Heal();
    RestoreTrayIcon();
    EXPECT_TRUE(d.tray.added.empty());
}

}  // namespace
}  // namespace vantrel

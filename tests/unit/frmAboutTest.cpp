#include <gtest/gtest.h>

#include "about/frmAbout.h"
#include "fake/FakeDesktop.h"
#include "platform/Error.h"

namespace vantrel {
namespace {

constexpr const char* kMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

RegistryValue Raw(std::uint32_t type, std::vector<std::uint8_t> data) {
    return {type, std::move(data)};
}

TEST(frmAbout, Texts) {
    EXPECT_EQ(frmAbout::Caption(), "About Vantrel");
    EXPECT_EQ(frmAbout::TitleText(), "Vantrel");
    EXPECT_EQ(frmAbout::VersionText(), "Version 1.0.26");
}

TEST(frmAbout, GetKeyValueDecodesByType) {
    struct Row {
        const char* what;
        RegistryValue value;
        const char* expected;
    };
    // clang-format off
    const Row kRows[] = {
        {"text with NUL",       Raw(kRegSz, {'a', 'b', 0}),           "ab"},
        {"text without NUL",    Raw(kRegSz, {'a', 'b'}),              "ab"},
        {"single NUL",          Raw(kRegSz, {0}),                     ""},
        {"DWORD 0x0100007B",    Raw(kRegDword, {0x7B, 0, 0, 1}),      "&h0100007B"},
        {"DWORD, zero top byte",Raw(kRegDword, {0x7B, 0, 0, 0}),      "&h00007B"},
        {"DWORD 0xFFFFFFFF",    Raw(kRegDword, {255, 255, 255, 255}), "&hFFFFFFFF"},
        {"other type keeps",    Raw(3, {1, 2, 3}),                    "before"},
        {"REG_EXPAND_SZ keeps", Raw(2, {'x', 0}),                     "before"},
    };
    // clang-format on
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.what);
        fake::FakeDesktop d;
        d.registry.values[std::string(kMsinfo) + "\\PATH"] = r.value;
        std::string val = "before";
        EXPECT_TRUE(frmAbout::GetKeyValue(kMsinfo, "PATH", val));
        EXPECT_EQ(val, r.expected);
    }
}

TEST(frmAbout, GetKeyValueTextKeepsEmbeddedNul) {
    fake::FakeDesktop d;
    d.registry.values[std::string(kMsinfo) + "\\PATH"] = Raw(kRegSz, {'a', 0, 0});
    std::string val;
    ASSERT_TRUE(frmAbout::GetKeyValue(kMsinfo, "PATH", val));
    EXPECT_EQ(val, std::string("a\0", 2));
}

TEST(frmAbout, GetKeyValueMissingOrTooLongIsFalseAndEmpty) {
    fake::FakeDesktop d;
    d.registry.values[std::string(kMsinfo) + "\\PATH"] =
        Raw(kRegSz, std::vector<std::uint8_t>(1025, 'x'));
    d.registry.values[std::string(kMsinfo) + "\\FITS"] =
        Raw(kRegSz, std::vector<std::uint8_t>(1024, 'x'));
    std::string val = "before";
    EXPECT_FALSE(frmAbout::GetKeyValue(kMsinfo, "PATH", val));
    EXPECT_EQ(val, "");
    val = "before";
    EXPECT_FALSE(frmAbout::GetKeyValue(kMsinfo, "NOPE", val));
    EXPECT_EQ(val, "");
    EXPECT_TRUE(frmAbout::GetKeyValue(kMsinfo, "FITS", val));
    EXPECT_EQ(val, std::string(1024, 'x'));
}

TEST(frmAbout, GetKeyValueOfZeroBytesThrows) {
    fake::FakeDesktop d;
    d.registry.values[std::string(kMsinfo) + "\\PATH"] = Raw(kRegSz, {});
    std::string val;
    EXPECT_THROW(frmAbout::GetKeyValue(kMsinfo, "PATH", val), Error);
}

TEST(frmAbout, LookupsAskOnlyForReadAccess) {
    fake::FakeDesktop d;
    constexpr std::uint32_t kKeyRead = 0x20019;
    d.registry.SetString(kMsinfo, "PATH", "C:\\Tools\\msinfo32.exe");
    d.registry.granted[kMsinfo] = kKeyRead;  // what a user without administrator rights gets
    std::string val;
    EXPECT_TRUE(frmAbout::GetKeyValue(kMsinfo, "PATH", val));
    EXPECT_EQ(val, "C:\\Tools\\msinfo32.exe");

    d.registry.granted[kMsinfo] = 0x20000;  // not even read access: counts as missing
    EXPECT_FALSE(frmAbout::GetKeyValue(kMsinfo, "PATH", val));
}

class StartSysInfoTest : public ::testing::Test {
  protected:
    void ExpectUnavailable() {
        ASSERT_EQ(d.boxes.shown.size(), 1u);
        EXPECT_EQ(d.boxes.shown[0].text, kUnavailable);
        EXPECT_EQ(d.boxes.shown[0].caption, "Vantrel");
        EXPECT_EQ(d.boxes.shown[0].modality, Modality::Application);
    }
    fake::FakeDesktop d;
};

TEST_F(StartSysInfoTest, PathValueWinsAndIsStartedWithoutATest) {
    d.registry.SetString(kMsinfo, "PATH", "C:\\Program Files\\Common Files\\msinfo32.exe");
    d.registry.SetString(kLocation, "MSINFO", "C:\\Other");
    frmAbout::StartSysInfo();
    ASSERT_EQ(d.processes.started.size(), 1u);
    EXPECT_EQ(d.processes.started[0].program, "C:\\Program Files\\Common Files\\msinfo32.exe");
    EXPECT_EQ(d.processes.started[0].commandLine,
              "\"C:\\Program Files\\Common Files\\msinfo32.exe\"");
    EXPECT_EQ(d.processes.started[0].show, ShowState::NormalFocus);
    EXPECT_EQ(d.registry.queried, std::vector<std::string>{std::string(kMsinfo) + "\\PATH"});
    EXPECT_EQ(d.journal.CountOf("Files.IsPlainFile"), 0);
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(StartSysInfoTest, FolderValueIsTestedForThePlainFile) {
    d.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO");
    d.files.files[fake::FakeFiles::Key("C:\\MSINFO\\MSINFO32.EXE")] = "";
    frmAbout::StartSysInfo();
    const std::vector<std::string> queried{std::string(kMsinfo) + "\\PATH",
                                           std::string(kLocation) + "\\MSINFO"};
    EXPECT_EQ(d.registry.queried, queried);
    ASSERT_EQ(d.processes.started.size(), 1u);
    EXPECT_EQ(d.processes.started[0].program, "C:\\MSINFO\\MSINFO32.EXE");
    EXPECT_TRUE(d.boxes.shown.empty());
}

TEST_F(StartSysInfoTest, NothingStartsWithoutTheProgram) {
    struct Case {
        const char* what;
        std::function<void(fake::FakeDesktop&)> arrange;
    };
    const Case kCases[] = {
        {"no keys at all", [](fake::FakeDesktop&) {}},
        {"folder without the file",
         [](fake::FakeDesktop& f) { f.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO"); }},
        {"file hidden",
         [](fake::FakeDesktop& f) {
             f.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO");
             f.files.files[fake::FakeFiles::Key("C:\\MSINFO\\MSINFO32.EXE")] = "";
             f.files.hidden.insert(fake::FakeFiles::Key("C:\\MSINFO\\MSINFO32.EXE"));
         }},
        {"PATH of zero bytes, folder fine",
         [](fake::FakeDesktop& f) {
             f.registry.values[std::string(kMsinfo) + "\\PATH"] = Raw(kRegSz, {});
             f.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO");
             f.files.files[fake::FakeFiles::Key("C:\\MSINFO\\MSINFO32.EXE")] = "";
         }},
        {"folder of zero bytes",
         [](fake::FakeDesktop& f) {
             f.registry.values[std::string(kLocation) + "\\MSINFO"] = Raw(kRegSz, {});
         }},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        fake::FakeDesktop f;
        c.arrange(f);
        frmAbout::StartSysInfo();
        EXPECT_TRUE(f.processes.started.empty());
        ASSERT_EQ(f.boxes.shown.size(), 1u);
        EXPECT_EQ(f.boxes.shown[0].text, kUnavailable);
    }
}

TEST_F(StartSysInfoTest, ZeroBytePathStopsBeforeTheSecondKey) {
    d.registry.values[std::string(kMsinfo) + "\\PATH"] = Raw(kRegSz, {});
    d.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO");
    frmAbout::StartSysInfo();
    EXPECT_EQ(d.registry.queried.size(), 1u);
    ExpectUnavailable();
}

TEST_F(StartSysInfoTest, StartFailureShowsTheMessage) {
    d.registry.SetString(kMsinfo, "PATH", "C:\\gone\\msinfo32.exe");
    d.processes.missing.insert(fake::FakeFiles::Key("C:\\gone\\msinfo32.exe"));
    frmAbout::StartSysInfo();
    EXPECT_TRUE(d.processes.started.empty());
    ExpectUnavailable();
}

TEST_F(StartSysInfoTest, PathOfAnotherTypeStartsNothingUseful) {
    // The lookup succeeds with an empty path; starting it fails.
    d.registry.values[std::string(kMsinfo) + "\\PATH"] = Raw(7, {'a', 0, 0});
    d.processes.missing.insert(fake::FakeFiles::Key(""));
    frmAbout::StartSysInfo();
    EXPECT_EQ(d.registry.queried.size(), 1u);
    ExpectUnavailable();
}

TEST_F(StartSysInfoTest, FileTestFailureShowsTheMessage) {
    d.registry.SetString(kLocation, "MSINFO", "C:\\MSINFO");
    d.journal.Fail("Files.IsPlainFile");
    frmAbout::StartSysInfo();
    EXPECT_TRUE(d.processes.started.empty());
    ExpectUnavailable();
}

}  // namespace
}  // namespace vantrel

// The stand-in script runner: its reading of scripts and command lines, and a real run of
// brisklet.exe against a window titled "Document Center" owned by this test.

#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Win32TestSupport.h"
#include "brisklet/BriskletScript.h"
#include "common/ToolSupport.h"

namespace vantrel::tools {
namespace {

using Kind = ScriptStatement::Kind;
using vantrel::testing::LastErrorText;
using vantrel::testing::PumpMessagesUntil;
using vantrel::testing::ReadBytes;
using vantrel::testing::ScratchFolder;
using vantrel::testing::TestWindow;
using vantrel::testing::WriteBytes;

const std::string kIndexScript =
    "Sub main()\r\nIndex.Field(\"last_name\") = Clipboard\r\ndoevents\r\nIndex.setfocuson 1\r\nEnd "
    "Sub\r\n\r\n\r\n";
const std::string kSaveNextScript =
    "Sub main()\r\nIndex.Field(\"last_name\") = "
    "Clipboard\r\ndoevents\r\nIndex.Save\r\nIndex.nextdocument\r\n"
    "Index.setfocuson 1\r\nEnd Sub\r\n\r\n\r\n";

std::vector<Kind> Kinds(const ParsedScript& p) {
    std::vector<Kind> kinds;
    for (const ScriptStatement& s : p.statements) kinds.push_back(s.kind);
    return kinds;
}

std::string FieldOf(std::string_view fieldLine) {
    const ParsedScript p =
        ParseScript("Sub main()\r\n" + std::string(fieldLine) + "\r\nEnd Sub\r\n");
    EXPECT_EQ(p.error, "") << fieldLine;
    return p.statements.size() == 1 ? p.statements[0].field : "<" + p.error + ">";
}

TEST(BriskletScriptTest, ReadsBothScriptsVantrelWrites) {
    const ParsedScript plain = ParseScript(kIndexScript);
    EXPECT_EQ(plain.error, "");
    EXPECT_EQ(Kinds(plain), (std::vector<Kind>{Kind::SetField, Kind::DoEvents, Kind::SetFocus}));
    ASSERT_FALSE(plain.statements.empty());
    EXPECT_EQ(plain.statements[0].field, "last_name");
    EXPECT_EQ(plain.statements[0].line, 2);

    const ParsedScript saveNext = ParseScript(kSaveNextScript);
    EXPECT_EQ(saveNext.error, "");
    EXPECT_EQ(Kinds(saveNext), (std::vector<Kind>{Kind::SetField, Kind::DoEvents, Kind::Save,
                                                  Kind::NextDocument, Kind::SetFocus}));
}

TEST(BriskletScriptTest, FieldNameIsTakenVerbatimBetweenTheOuterQuotes) {
    EXPECT_EQ(FieldOf("Index.Field(\"a\"b\") = Clipboard"), "a\"b");
    EXPECT_EQ(FieldOf("Index.Field(\"x\") = Clipboard\") = Clipboard"), "x\") = Clipboard");
    EXPECT_EQ(FieldOf("Index.Field(\"Kunden Nr. \xc3\x9c\") = Clipboard"), "Kunden Nr. \xc3\x9c");
    EXPECT_EQ(FieldOf("Index.Field(\"\") = Clipboard"), "");
    EXPECT_EQ(FieldOf("index . FIELD ( \"f\" )=clipboard"), "f");
}

TEST(BriskletScriptTest, KeywordsIgnoreCaseSpacingCommentsAndLineEndings) {
    const ParsedScript p = ParseScript(
        "\r\n  sub MAIN ( )\nINDEX.SAVE\r' a comment\nRem a note\n\tDoEvents  "
        "\r\nindex.NextDocument\n"
        "Index.SetFocusOn 12\n  END   SUB\n' trailing comment");
    EXPECT_EQ(p.error, "");
    EXPECT_EQ(Kinds(p),
              (std::vector<Kind>{Kind::Save, Kind::DoEvents, Kind::NextDocument, Kind::SetFocus}));
}

TEST(BriskletScriptTest, MalformedScriptsAreRejectedWhole) {
    struct Case {
        std::string text;
        std::string error;
    };
    const Case cases[] = {
        {"", "no Sub main()"},
        {"\r\n\r\n", "no Sub main()"},
        {"Index.Save\r\n", "line 1: expected Sub main(), found: Index.Save"},
        {"Sub main()\r\nIndex.Save\r\n", "missing End Sub"},
        {"Sub main()\r\nIndex.Save\r\nIndex.Frobnicate\r\nEnd Sub\r\n",
         "line 3: unknown statement: Index.Frobnicate"},
        {"Sub main()\r\nEnd Sub\r\nIndex.Save\r\n", "line 3: text after End Sub: Index.Save"},
        {"Sub main()\r\nSub main()\r\nEnd Sub\r\n", "line 2: unknown statement: Sub main()"},
        {"Sub main()\r\nIndex.setfocuson x\r\nEnd Sub\r\n",
         "line 2: unknown statement: Index.setfocuson x"},
        {"Sub main()\r\nIndex.Field(\"x\") = Clipboardx\r\nEnd Sub\r\n",
         "line 2: expected Index.Field("},
        {"Sub main()\r\nIndex.Field(\"x\") = myClipboard\r\nEnd Sub\r\n",
         "line 2: expected Index.Field("},
        {"Sub main()\r\nIndex.Field(\") = Clipboard\r\nEnd Sub\r\n",
         "line 2: expected Index.Field("},
        {"Sub main()\r\nIndex.Field(x) = Clipboard\r\nEnd Sub\r\n",
         "line 2: expected Index.Field("},
        {"Sub main()\r\nIndex.Field(\"x\") = \"Smith\"\r\nEnd Sub\r\n",
         "line 2: expected Index.Field("},
    };
    for (const Case& c : cases) {
        const ParsedScript p = ParseScript(c.text);
        EXPECT_EQ(p.error.substr(0, c.error.size()), c.error) << c.text;
        EXPECT_TRUE(p.statements.empty()) << c.text;
    }
}

TEST(BriskletScriptTest, HugeAndBinaryLinesGiveAShortError) {
    const ParsedScript huge =
        ParseScript("Sub main()\r\n" + std::string(1 << 20, 'x') + "\r\nEnd Sub\r\n");
    EXPECT_EQ(huge.error, "line 2: unknown statement: " + std::string(60, 'x') + "...");

    std::string binary;
    for (int b = 255; b >= 0; --b) binary += static_cast<char>(b);
    const ParsedScript junk = ParseScript(binary);
    EXPECT_FALSE(junk.error.empty());
    EXPECT_LT(junk.error.size(), 120u);
    for (const char c : junk.error)
        EXPECT_GE(static_cast<unsigned char>(c), 0x20) << "control byte in the error";
}

TEST(BriskletSearchTest, SplitsAtTheFirstSeparatorsAndTheClosingQuote) {
    const auto a = ParseSearch("Index=AP;Criteria=InvoiceNo='A-17'");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->application, "AP");
    EXPECT_EQ(a->field, "InvoiceNo");
    EXPECT_EQ(a->value, "A-17");

    const auto empty = ParseSearch("Index=;Criteria=F=''");
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->application, "");
    EXPECT_EQ(empty->value, "");

    const auto quoted = ParseSearch("Index=AP;Criteria=name='O'Brien; Jr.='x'");
    ASSERT_TRUE(quoted);
    EXPECT_EQ(quoted->field, "name");
    EXPECT_EQ(quoted->value, "O'Brien; Jr.='x");

    for (const char* bad : {"Index=AP", "Index=AP;Criteria=F", "Index=AP;Criteria=F='v",
                            "Index=AP;Criteria=F='", "Search=AP;Criteria=F='v'", ""})
        EXPECT_FALSE(ParseSearch(bad)) << bad;
}

TEST(BriskletCommandLineTest, UnquotedProgramPathEndsAfterExe) {
    const auto spaced = SplitCommandLine(
        "C:\\program files\\tallowin\\scripts\\brisklet.exe C:\\program "
        "files\\tallowin\\scripts\\brisklet.sc");
    EXPECT_EQ(spaced.program, "C:\\program files\\tallowin\\scripts\\brisklet.exe");
    EXPECT_EQ(spaced.argument, "C:\\program files\\tallowin\\scripts\\brisklet.sc");

    const auto search = SplitCommandLine("C:\\p q\\BRISKLET.EXE Index=AP;Criteria=F='a b.exe c'");
    EXPECT_EQ(search.program, "C:\\p q\\BRISKLET.EXE");
    EXPECT_EQ(search.argument, "Index=AP;Criteria=F='a b.exe c'");

    const auto quoted = SplitCommandLine("\"C:\\a b\\brisklet.exe\"  \"C:\\x y\\s.sc\" ");
    EXPECT_EQ(quoted.program, "C:\\a b\\brisklet.exe");
    EXPECT_EQ(quoted.argument, "C:\\x y\\s.sc");

    EXPECT_EQ(SplitCommandLine("  brisklet.exe   ").argument, "");
    EXPECT_EQ(SplitCommandLine("\"unterminated").argument, "");
    EXPECT_EQ(SplitCommandLine("brisklet script.sc").argument, "script.sc");
}

// A real run: a copy of brisklet.exe in a scratch folder whose path holds spaces, started the
// way Vantrel starts it, handing its work to our own "Document Center" window.
std::vector<std::string>& Received() {
    static std::vector<std::string> received;
    return received;
}

LRESULT CALLBACK FakeDocumentCenter(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        EXPECT_EQ(data->dwData, kCopyDataTag);
        Received().emplace_back(static_cast<const char*>(data->lpData), data->cbData);
        return TRUE;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& l : lines) {
        if (l == line)
            return true;
    }
    return false;
}

void PutTextOnClipboard(const std::wstring& text) {
    ASSERT_TRUE(PumpMessagesUntil([] { return OpenClipboard(nullptr) != FALSE; }))
        << LastErrorText();
    EmptyClipboard();
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block) {
        memcpy(GlobalLock(block), text.c_str(), bytes);
        GlobalUnlock(block);
        if (!SetClipboardData(CF_UNICODETEXT, block))
            GlobalFree(block);  // otherwise the clipboard owns it
    }
    CloseClipboard();
}

class BriskletRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t module[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, module, MAX_PATH);
        std::wstring built = module;
        built = built.substr(0, built.find_last_of(L'\\') + 1) + L"tools\\brisklet\\brisklet.exe";
        if (GetFileAttributesW(built.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "brisklet.exe is not built beside the tests";
        for (HWND w = nullptr;
             (w = FindWindowExW(nullptr, w, nullptr, kDocumentCenterTitle)) != nullptr;) {
            if (w != center_.get())
                GTEST_SKIP()
                    << "another window is titled Document Center; the runner might talk to it";
        }
        ASSERT_TRUE(CopyFileW(built.c_str(), (folder_ / L"brisklet.exe").c_str(), FALSE))
            << LastErrorText();
        Received().clear();
    }

    // Starts the copy with one command line as Vantrel does, serves the window until it exits.
    DWORD Run(const std::wstring& arguments) {
        std::wstring commandLine = folder_ / L"brisklet.exe";
        commandLine += L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMINIMIZED;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &info)) {
            ADD_FAILURE() << "CreateProcessW: " << LastErrorText();
            return 9999;
        }
        const win32::UniqueHandleObj process(info.hProcess);
        const win32::UniqueHandleObj thread(info.hThread);
        const bool ended = PumpMessagesUntil(
            [&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; },
            std::chrono::seconds(30));
        if (!ended) {
            TerminateProcess(process.get(), 9998);
            ADD_FAILURE() << "brisklet.exe did not exit";
            return 9998;
        }
        DWORD code = 0;
        GetExitCodeProcess(process.get(), &code);
        record_ = Lines(ReadBytes(folder_ / L"brisklet.log"));
        DeleteFileW((folder_ / L"brisklet.log").c_str());
        return code;
    }

    ScratchFolder folder_;
    TestWindow center_{kDocumentCenterTitle, WS_OVERLAPPEDWINDOW, FakeDocumentCenter};
    std::vector<std::string> record_;
};

TEST_F(BriskletRunTest, RunsAnIndexScriptFromAnUnquotedPathWithSpaces) {
    WriteBytes(folder_ / L"index script.sc", kSaveNextScript);
    PutTextOnClipboard(L"M\u00fcller\tO'Brien");
    const std::wstring arguments = folder_ / L"index script.sc";

    EXPECT_EQ(Run(arguments), 0u);

    const std::string program = Escaped(folder_.Utf8(L"brisklet.exe"));
    const std::string rest = std::string(" ").append(Escaped(win32::Narrow(arguments)));
    ASSERT_FALSE(record_.empty());
    EXPECT_EQ(record_.front().substr(0, 6), "start ");
    EXPECT_EQ(record_.back(), "end");
    // Windows hands the command line over unchanged; Wine puts quotes around a program path
    // that holds spaces. The runner must read both the same way.
    EXPECT_TRUE(Contains(record_, "cmdline " + program + rest) ||
                Contains(record_, "cmdline \"" + program + "\"" + rest))
        << program << rest;
    EXPECT_TRUE(Contains(record_, "show 2"));
    EXPECT_TRUE(Contains(record_, "clipboard M\xc3\xbcller\\tO'Brien"));
    EXPECT_TRUE(
        Contains(record_, std::string("script ").append(Escaped(win32::Narrow(arguments)))));
    EXPECT_TRUE(Contains(record_, std::string("scriptbytes ").append(Hex(kSaveNextScript))));
    EXPECT_TRUE(Contains(record_, "op field\tlast_name\tM\xc3\xbcller\\tO'Brien"));
    EXPECT_TRUE(Contains(record_, "exit 0"));
    EXPECT_EQ(Received(), (std::vector<std::string>{"field\tlast_name\tM\xc3\xbcller\\tO'Brien",
                                                    "save", "next"}));
}

TEST_F(BriskletRunTest, HandsASearchOnWithTheValueAsCaptured) {
    EXPECT_EQ(Run(L"Index=AP;Criteria=InvoiceNo='A-17; O'Neil'"), 0u);
    EXPECT_TRUE(Contains(record_, "op search\tAP\tInvoiceNo\tA-17; O'Neil"));
    EXPECT_EQ(Received(), (std::vector<std::string>{"search\tAP\tInvoiceNo\tA-17; O'Neil"}));
}

TEST_F(BriskletRunTest, RefusesWhatItCannotRunAndSaysWhy) {
    EXPECT_EQ(Run(folder_ / L"missing.sc"), 3u);
    EXPECT_TRUE(Contains(record_, "exit 3"));

    WriteBytes(folder_ / L"bad.sc", "Sub main()\r\nIndex.Save\r\n");
    EXPECT_EQ(Run(folder_ / L"bad.sc"), 2u);
    EXPECT_TRUE(Contains(record_, "error missing End Sub"));

    EXPECT_EQ(Run(L""), 1u);
    EXPECT_EQ(Run(L"Index=AP"), 2u);
    EXPECT_EQ(record_.back(), "end");
    EXPECT_TRUE(Received().empty());
}

}  // namespace
}  // namespace vantrel::tools

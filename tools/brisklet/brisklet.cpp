// brisklet.exe: a stand-in for the imaging application's script runner, for development,
// the demo and the tests. It understands the two command lines Vantrel starts it with:
//   brisklet.exe <script path>                         runs an index script
//   brisklet.exe Index=APP;Criteria=FIELD='VALUE'      runs a search
// It hands each operation to the window titled "Document Center" (doccenter.exe) as a
// WM_COPYDATA text and appends one block to "brisklet.log" beside itself:
//   start <pid>
//   time <microseconds since the Unix epoch>
//   cmdline <raw command line>
//   show <wShowWindow> | show none
//   clipboard <text on the clipboard at start> | clipboarderror <code>
//   script <path> + scriptbytes <hex of the file>  |  search <argument>
//   documentcenter <hwnd in hex> | nodocumentcenter
//   op <message>            one per operation, in order (see below)
//   sendfailed <message>
//   error <reason>
//   exit <code>
//   end
// Values are escaped to one line (\\ \t \r \n \xHH). A message is tab-separated with escaped
// fields: "field<TAB>NAME<TAB>VALUE", "save", "next", "search<TAB>APP<TAB>FIELD<TAB>VALUE".
// Exit codes: 0 done, 1 no argument, 2 malformed script or search, 3 script unreadable, 4 internal.

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "brisklet/BriskletScript.h"
#include "common/ToolSupport.h"
#include "platform/win32/Unicode.h"

namespace vantrel::tools {

namespace {

constexpr LONGLONG kMaxScriptBytes = 1 << 20;

class Record {
  public:
    void Add(std::string_view key, std::string_view value) {
        text_ += key;
        text_ += ' ';
        text_ += value;
        text_ += '\n';
    }
    void Add(std::string_view key) {
        text_ += key;
        text_ += '\n';
    }
    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

struct Failure {
    int code;
    std::string reason;
};

class OpenedClipboard {
  public:
    OpenedClipboard() {
        // Another program may hold the clipboard for a moment (the copy that filled it).
        for (int attempt = 0; attempt < 20 && !open_; ++attempt) {
            open_ = OpenClipboard(nullptr) != FALSE;
            if (!open_)
                Sleep(10);
        }
    }
    ~OpenedClipboard() {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return open_; }

  private:
    bool open_ = false;
};

class LockedGlobal {
  public:
    explicit LockedGlobal(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~LockedGlobal() {
        if (p_)
            GlobalUnlock(h_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    const void* get() const { return p_; }
    SIZE_T size() const { return GlobalSize(h_); }

  private:
    HGLOBAL h_;
    void* p_;
};

void RecordClipboard(Record& record, std::string& text) {
    const OpenedClipboard clipboard;
    if (!clipboard) {
        record.Add("clipboarderror", std::to_string(GetLastError()));
        return;
    }
    const LockedGlobal data(GetClipboardData(CF_UNICODETEXT));
    if (data.get()) {
        // Bounded by the block's size: a text without its terminating zero must not overrun.
        const auto* chars = static_cast<const wchar_t*>(data.get());
        const std::size_t limit = data.size() / sizeof(wchar_t);
        std::size_t n = 0;
        while (n < limit && chars[n] != L'\0') ++n;
        text = win32::Narrow(std::wstring_view(chars, n));
    }
    record.Add("clipboard", Escaped(text));
}

std::string ReadScriptBytes(const std::string& path) {
    const HANDLE h = CreateFileW(win32::Widen(path).c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw Failure{3, "cannot open the script, system error " + std::to_string(GetLastError())};
    const win32::UniqueHandleObj file(h);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size))
        throw Failure{3, "cannot size the script, system error " + std::to_string(GetLastError())};
    if (size.QuadPart > kMaxScriptBytes)
        throw Failure{2, "script larger than 1 MiB"};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr))
        throw Failure{3, "cannot read the script, system error " + std::to_string(GetLastError())};
    bytes.resize(got);
    return bytes;
}

// Scripts are written in the ANSI code page.
std::string AnsiToUtf8(const std::string& ansi) {
    if (ansi.empty())
        return {};
    const int n =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return win32::Narrow(wide);
}

class DocumentCenter {
  public:
    explicit DocumentCenter(Record& record)
        : record_(record), window_(FindWindowW(nullptr, kDocumentCenterTitle)) {
        if (window_) {
            char hwnd[32];
            wsprintfA(hwnd, "%p", static_cast<void*>(window_));
            record_.Add("documentcenter", hwnd);
        } else {
            record_.Add("nodocumentcenter");
        }
    }

    void Hand(const std::string& message) {
        record_.Add("op", message);
        if (!window_)
            return;
        COPYDATASTRUCT data{kCopyDataTag, static_cast<DWORD>(message.size()),
                            const_cast<char*>(message.data())};
        DWORD_PTR result = 0;
        // A hung window must not hang the runner.
        if (!SendMessageTimeoutW(window_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                 SMTO_ABORTIFHUNG, 5000, &result))
            record_.Add("sendfailed", message);
    }

  private:
    Record& record_;
    HWND window_;
};

int RunScript(Record& record, const std::string& path, const std::string& clipboardText) {
    record.Add("script", Escaped(path));
    const std::string bytes = ReadScriptBytes(path);
    record.Add("scriptbytes", Hex(bytes));
    const ParsedScript script = ParseScript(AnsiToUtf8(bytes));
    if (!script.error.empty())
        throw Failure{2, script.error};

    DocumentCenter center(record);
    for (const ScriptStatement& s : script.statements) {
        switch (s.kind) {
            case ScriptStatement::Kind::SetField:
                center.Hand("field\t" + Escaped(s.field) + "\t" + Escaped(clipboardText));
                break;
            case ScriptStatement::Kind::Save:
                center.Hand("save");
                break;
            case ScriptStatement::Kind::NextDocument:
                center.Hand("next");
                break;
            case ScriptStatement::Kind::DoEvents:
            case ScriptStatement::Kind::SetFocus:
                break;  // nothing to hand on; the imaging window's focus is Vantrel's business
        }
    }
    return 0;
}

int RunSearch(Record& record, const std::string& argument) {
    record.Add("search", Escaped(argument));
    const std::optional<SearchRequest> search = ParseSearch(argument);
    if (!search)
        throw Failure{2, "expected Index=APP;Criteria=FIELD='VALUE'"};
    DocumentCenter center(record);
    center.Hand("search\t" + Escaped(search->application) + "\t" + Escaped(search->field) + "\t" +
                Escaped(search->value));
    return 0;
}

int Run(Record& record) {
    record.Add("start", std::to_string(GetCurrentProcessId()));
    record.Add("time", std::to_string(UnixMicrosNow()));
    const std::string raw = win32::Narrow(GetCommandLineW());
    record.Add("cmdline", Escaped(raw));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    record.Add("show", (startup.dwFlags & STARTF_USESHOWWINDOW)
                           ? std::to_string(startup.wShowWindow)
                           : "none");

    std::string clipboardText;
    RecordClipboard(record, clipboardText);

    const CommandLineParts parts = SplitCommandLine(raw);
    if (parts.argument.empty())
        throw Failure{1, "no script path and no search given"};
    if (IsSearchArgument(parts.argument))
        return RunSearch(record, parts.argument);
    return RunScript(record, parts.argument, clipboardText);
}

}  // namespace

}  // namespace vantrel::tools

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace vantrel::tools;
    Record record;
    int code = 0;
    try {
        code = Run(record);
    } catch (const Failure& f) {
        record.Add("error", Escaped(f.reason));
        code = f.code;
    } catch (const std::exception& e) {
        record.Add("error", Escaped(std::string("internal: ") + e.what()));
        code = 4;
    }
    record.Add("exit", std::to_string(code));
    record.Add("end");
    AppendToFile(PathBesideExe(L"brisklet.log"), record.text());
    return code;
}

#pragma once

// The stand-in runner's reading of its command line and of its small script language.
// Portable: text in, text out, all UTF-8.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel::tools {

struct ScriptStatement {
    enum class Kind { SetField, Save, NextDocument, DoEvents, SetFocus };
    Kind kind = Kind::DoEvents;
    std::string field;  // SetField: the text between the quotes, verbatim (no "" unescaping)
    int line = 0;
};

// A script runs completely or not at all: a malformed line anywhere rejects the whole file.
struct ParsedScript {
    std::vector<ScriptStatement> statements;
    std::string error;  // empty when well formed; otherwise "line N: ..." or what is missing
};

// Statements inside "Sub main()" ... "End Sub"; keywords ignore case and spacing; blank
// lines and ' comments are skipped; CR LF, LF and CR all end a line.
ParsedScript ParseScript(std::string_view text);

struct SearchRequest {
    std::string application;
    std::string field;
    std::string value;
};

bool IsSearchArgument(std::string_view argument);

// "Index=APP;Criteria=FIELD='VALUE'": the first ";Criteria=" and the first "='" split it and
// the last character must be the closing quote, so a value may hold quotes and semicolons.
std::optional<SearchRequest> ParseSearch(std::string_view argument);

struct CommandLineParts {
    std::string program;
    std::string argument;  // trimmed, surrounding double quotes removed
};

// The program path may be unquoted and hold spaces ("C:\program files\...\brisklet.exe x"),
// so an unquoted path ends after the first ".exe" that a blank or the end follows.
CommandLineParts SplitCommandLine(std::string_view raw);

}  // namespace vantrel::tools

#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// Where the script runner lives and where it finds the index script. The
// letter cases differ by use: the runner and the support scripts expect these
// spellings, so each is kept byte for byte.
constexpr std::string_view kRunnerProgram = "C:\\program files\\tallowin\\scripts\\brisklet.exe";
constexpr std::string_view kScriptExistsPath = "c:\\program files\\tallowin\\scripts\\brisklet.sc";
constexpr std::string_view kScriptPath = "c:\\program files\\Tallowin\\scripts\\brisklet.sc";
constexpr std::string_view kIndexCommandLine =
    "C:\\program files\\tallowin\\scripts\\brisklet.exe C:\\program "
    "files\\tallowin\\scripts\\brisklet.sc";
constexpr std::string_view kSearchCommandStart =
    "C:\\program files\\tallowin\\scripts\\brisklet.exe Index=";

// The imaging application's window, brought to the front after each start.
constexpr std::string_view kDocumentCenterTitle = "Document Center";

// The whole index script: fills `fieldName` from the clipboard and, with
// `saveNext`, saves the document and moves to the next one. Every line ends
// in CR LF; the field name goes in as it is.
std::string IndexScript(std::string_view fieldName, bool saveNext);

// The runner's search command line. Nothing is quoted or escaped: the runner
// takes the text exactly as captured.
std::string SearchCommandLine(std::string_view appName, std::string_view field,
                              std::string_view value);

}  // namespace vantrel

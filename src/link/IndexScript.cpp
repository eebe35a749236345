#include "link/IndexScript.h"

namespace vantrel {

namespace {

void AddLine(std::string& text, std::string_view line) {
    text += line;
    text += "\r\n";
}

}  // namespace

std::string IndexScript(std::string_view fieldName, bool saveNext) {
    std::string text;
    AddLine(text, "Sub main()");
    AddLine(text, "Index.Field(\"" + std::string(fieldName) + "\") = Clipboard");
    AddLine(text, "doevents");
    if (saveNext) {
        AddLine(text, "Index.Save");
        AddLine(text, "Index.nextdocument");
    }
    AddLine(text, "Index.setfocuson 1");
    AddLine(text, "End Sub");
    AddLine(text, "");
    AddLine(text, "");
    return text;
}

std::string SearchCommandLine(std::string_view appName, std::string_view field,
                              std::string_view value) {
    std::string line(kSearchCommandStart);
    line += appName;
    line += ";Criteria=";
    line += field;
    line += "='";
    line += value;
    line += "'";
    return line;
}

}  // namespace vantrel

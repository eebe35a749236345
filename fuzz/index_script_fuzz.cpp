// The index script and the search command line around any text.
//
// Input: one byte (bit 0: Auto Save/Next), two bytes giving the lengths of the
// application name and of the field (cut to what is there), then those texts and
// the value, which is the rest.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzCheck.h"
#include "link/IndexScript.h"

namespace {

std::vector<std::string_view> Lines(std::string_view script) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = script.find("\r\n", start)) != std::string_view::npos;
         start = end + 2)
        lines.push_back(script.substr(start, end - start));
    FUZZ_CHECK(start == script.size());  // nothing after the last CR LF
    return lines;
}

void CheckScript(std::string_view field, bool saveNext) {
    const std::string script = vantrel::IndexScript(field, saveNext);
    FUZZ_CHECK(script.size() >= 2 && script.compare(script.size() - 2, 2, "\r\n") == 0);

    // The field goes in as it is, between fixed text.
    const std::string head = "Sub main()\r\nIndex.Field(\"";
    const std::string tail = std::string("\") = Clipboard\r\ndoevents\r\n") +
                             (saveNext ? "Index.Save\r\nIndex.nextdocument\r\n" : "") +
                             "Index.setfocuson 1\r\nEnd Sub\r\n\r\n\r\n";
    FUZZ_CHECK(script.size() == head.size() + field.size() + tail.size());
    FUZZ_CHECK(script.compare(0, head.size(), head) == 0);
    FUZZ_CHECK(std::string_view(script).substr(head.size(), field.size()) == field);
    FUZZ_CHECK(script.compare(head.size() + field.size(), tail.size(), tail) == 0);

    // A field on one line keeps the script's shape.
    if (field.find_first_of("\r\n") == std::string_view::npos) {
        const std::vector<std::string_view> lines = Lines(script);
        FUZZ_CHECK(lines.size() == (saveNext ? 9u : 7u));
        FUZZ_CHECK(lines[1] == "Index.Field(\"" + std::string(field) + "\") = Clipboard");
        FUZZ_CHECK(lines[lines.size() - 2].empty() && lines.back().empty());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const bool saveNext = (data[0] & 1u) != 0;
    std::string_view rest = vantrel::fuzz::AsText(data + 3, size - 3);
    const std::string_view appName = rest.substr(0, data[1]);
    rest.remove_prefix(appName.size());
    const std::string_view field = rest.substr(0, data[2]);
    rest.remove_prefix(field.size());
    const std::string_view value = rest;

    CheckScript(field, saveNext);
    CheckScript(vantrel::fuzz::AsText(data + 3, size - 3), !saveNext);

    const std::string line = vantrel::SearchCommandLine(appName, field, value);
    const std::string expected = std::string(vantrel::kSearchCommandStart) + std::string(appName) +
                                 ";Criteria=" + std::string(field) + "='" + std::string(value) +
                                 "'";
    FUZZ_CHECK(line == expected);
    return 0;
}

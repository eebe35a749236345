#include "brisklet/BriskletScript.h"

#include <cctype>

namespace vantrel::tools {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string_view Trimmed(std::string_view t) {
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
    while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
    return t;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i]))
            return false;
    }
    return true;
}

std::size_t FindIgnoringCase(std::string_view text, std::string_view needle) {
    if (needle.size() > text.size())
        return std::string_view::npos;
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (StartsWithIgnoringCase(text.substr(i), needle))
            return i;
    }
    return std::string_view::npos;
}

// Lower case, blanks collapsed, and no blanks beside punctuation: "Index . Save" == "index.save".
std::string Normalized(std::string_view t) {
    std::string out;
    bool pendingBlank = false;
    for (const char c : t) {
        if (IsBlank(c)) {
            pendingBlank = true;
            continue;
        }
        const bool punctuation = c == '(' || c == ')' || c == '.' || c == '=';
        if (pendingBlank && !out.empty() && !punctuation) {
            const char prev = out.back();
            if (prev != '(' && prev != ')' && prev != '.' && prev != '=')
                out += ' ';
        }
        pendingBlank = false;
        out += Lower(c);
    }
    return out;
}

// Long or binary lines stay readable in an error message.
std::string Snippet(std::string_view t) {
    std::size_t shown = 60;
    if (t.size() <= shown) {
        shown = t.size();
    } else {
        // Never cut a UTF-8 sequence in two.
        while (shown > 0 && (static_cast<unsigned char>(t[shown]) & 0xC0) == 0x80) --shown;
    }
    std::string s(t.substr(0, shown));
    for (char& c : s) {
        if (static_cast<unsigned char>(c) < 0x20)
            c = '?';
    }
    return t.size() > shown ? s + "..." : s;
}

// Index.Field("NAME") = Clipboard, read from both ends so NAME may hold anything.
std::optional<std::string> FieldName(std::string_view t) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < t.size() && IsBlank(t[i])) ++i;
    };
    const auto expect = [&](std::string_view word) {
        skipBlanks();
        if (!StartsWithIgnoringCase(t.substr(i), word))
            return false;
        i += word.size();
        return true;
    };
    if (!expect("index") || !expect(".") || !expect("field") || !expect("(") || !expect("\""))
        return std::nullopt;
    const std::size_t nameStart = i;

    std::size_t j = t.size();
    const auto skipBlanksBack = [&] {
        while (j > nameStart && IsBlank(t[j - 1])) --j;
    };
    const auto expectBack = [&](std::string_view word) {
        skipBlanksBack();
        if (j < nameStart + word.size())
            return false;
        if (!StartsWithIgnoringCase(t.substr(j - word.size()), word))
            return false;
        j -= word.size();
        return true;
    };
    if (!expectBack("clipboard") || !expectBack("=") || !expectBack(")") || !expectBack("\""))
        return std::nullopt;
    return std::string(t.substr(nameStart, j - nameStart));
}

bool IsSetFocus(const std::string& n) {
    constexpr std::string_view kPrefix = "index.setfocuson ";
    if (n.size() <= kPrefix.size() || n.compare(0, kPrefix.size(), kPrefix) != 0)
        return false;
    for (std::size_t i = kPrefix.size(); i < n.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(n[i])))
            return false;
    }
    return true;
}

std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

ParsedScript ParseScript(std::string_view text) {
    enum class Where { BeforeSub, InSub, AfterSub };
    Where where = Where::BeforeSub;
    ParsedScript parsed;
    const auto fail = [&](int line, const std::string& what) {
        parsed.statements.clear();
        parsed.error = "line " + std::to_string(line) + ": " + what;
        return parsed;
    };

    int number = 0;
    for (const std::string_view raw : Lines(text)) {
        ++number;
        const std::string_view t = Trimmed(raw);
        if (t.empty() || t.front() == '\'')
            continue;
        const std::string n = Normalized(t);
        if (n == "rem" || n.starts_with("rem "))
            continue;

        if (where == Where::AfterSub)
            return fail(number, "text after End Sub: " + Snippet(t));
        if (where == Where::BeforeSub) {
            if (n != "sub main()")
                return fail(number, "expected Sub main(), found: " + Snippet(t));
            where = Where::InSub;
            continue;
        }

        ScriptStatement s;
        s.line = number;
        if (n == "end sub") {
            where = Where::AfterSub;
            continue;
        } else if (n == "doevents") {
            s.kind = ScriptStatement::Kind::DoEvents;
        } else if (n == "index.save") {
            s.kind = ScriptStatement::Kind::Save;
        } else if (n == "index.nextdocument") {
            s.kind = ScriptStatement::Kind::NextDocument;
        } else if (IsSetFocus(n)) {
            s.kind = ScriptStatement::Kind::SetFocus;
        } else if (n.starts_with("index.field(")) {
            std::optional<std::string> name = FieldName(t);
            if (!name)
                return fail(number,
                            "expected Index.Field(\"NAME\") = Clipboard, found: " + Snippet(t));
            s.kind = ScriptStatement::Kind::SetField;
            s.field = std::move(*name);
        } else {
            return fail(number, "unknown statement: " + Snippet(t));
        }
        parsed.statements.push_back(std::move(s));
    }
    if (where == Where::BeforeSub) {
        parsed.error = "no Sub main()";
    } else if (where == Where::InSub) {
        parsed.statements.clear();
        parsed.error = "missing End Sub";
    }
    return parsed;
}

bool IsSearchArgument(std::string_view argument) {
    return StartsWithIgnoringCase(argument, "Index=");
}

std::optional<SearchRequest> ParseSearch(std::string_view argument) {
    if (!IsSearchArgument(argument))
        return std::nullopt;
    const std::string_view rest = argument.substr(6);
    const std::size_t criteria = FindIgnoringCase(rest, ";Criteria=");
    if (criteria == std::string_view::npos)
        return std::nullopt;
    const std::string_view condition = rest.substr(criteria + 10);
    const std::size_t equals = condition.find("='");
    if (equals == std::string_view::npos)
        return std::nullopt;
    std::string_view value = condition.substr(equals + 2);
    if (value.empty() || value.back() != '\'')
        return std::nullopt;
    value.remove_suffix(1);
    return SearchRequest{std::string(rest.substr(0, criteria)),
                         std::string(condition.substr(0, equals)), std::string(value)};
}

CommandLineParts SplitCommandLine(std::string_view raw) {
    std::string_view t = raw;
    while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);

    CommandLineParts parts;
    std::string_view rest;
    if (!t.empty() && t.front() == '"') {
        const std::size_t close = t.find('"', 1);
        parts.program = std::string(
            t.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
        rest = close == std::string_view::npos ? std::string_view() : t.substr(close + 1);
    } else {
        std::size_t end = std::string_view::npos;
        for (std::size_t at = FindIgnoringCase(t, ".exe"); at != std::string_view::npos;) {
            const std::size_t after = at + 4;
            if (after == t.size() || IsBlank(t[after])) {
                end = after;
                break;
            }
            const std::size_t next = FindIgnoringCase(t.substr(after), ".exe");
            at = next == std::string_view::npos ? next : after + next;
        }
        if (end == std::string_view::npos) {
            end = 0;
            while (end < t.size() && !IsBlank(t[end])) ++end;
        }
        parts.program = std::string(t.substr(0, end));
        rest = t.substr(end);
    }

    rest = Trimmed(rest);
    if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"')
        rest = rest.substr(1, rest.size() - 2);
    parts.argument = std::string(rest);
    return parts;
}

}  // namespace vantrel::tools

#include "engine/CommandLineProgram.h"

#include "base/AsciiCase.h"

#include <array>
#include <string_view>

namespace pestrel {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string Expanded(const std::string& text, const VariableLookup& variables) {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            out.append(text, at);
            break;
        }
        out.append(text, at, open - at);
        const std::optional<std::string> value =
            close > open + 1 && variables ? variables(text.substr(open + 1, close - open - 1))
                                          : std::nullopt;
        if (value) {
            out += *value;
            at = close + 1;
        } else {
            out += '%'; // the closing '%' may open the next variable
            at = open + 1;
        }
    }
    return out;
}

// Whether the file name `path` ends in is one Windows starts: an extension such as ".exe" after
// at least one character of the name. Looks at the end only, so that trying every blank of a
// long line stays cheap.
bool NamesProgramFile(std::string_view path) {
    static constexpr std::array<std::string_view, 9> kExtensions = {
        ".EXE", ".COM", ".BAT", ".CMD", ".SCR", ".PIF", ".DLL", ".VBS", ".JS"};
    for (std::string_view extension : kExtensions) {
        if (path.size() > extension.size() &&
            EqualsIgnoringAsciiCase(path.substr(path.size() - extension.size()), extension)) {
            const char before = path[path.size() - extension.size() - 1];
            return before != '\\' && before != '/';
        }
    }
    return false;
}

// The first token of `text` from `at`, and where it ends; a token in quotes without them.
std::string_view FirstToken(std::string_view text, std::size_t& at, std::string_view ends) {
    at = text.find_first_not_of(kBlanks, at);
    if (at == std::string_view::npos) {
        at = text.size();
        return {};
    }
    if (text[at] == '"') {
        const std::size_t close = text.find('"', at + 1);
        const std::size_t end = close == std::string_view::npos ? text.size() : close;
        const std::string_view token = text.substr(at + 1, end - at - 1);
        at = std::min(text.size(), end + 1);
        return token;
    }
    const std::size_t start = at;
    const std::size_t first = text.find_first_of(ends, start);
    std::size_t end = first;
    while (end != std::string_view::npos && text[end] != ',' &&
           !NamesProgramFile(text.substr(start, end - start)))
        end = text.find_first_of(ends, end + 1);
    if (end == std::string_view::npos && !NamesProgramFile(text.substr(start)))
        end = first;
    at = end == std::string_view::npos ? text.size() : end;
    return text.substr(start, at - start);
}

} // namespace

std::string CommandLineProgram(const std::string& commandLine, const VariableLookup& variables) {
    const std::string expanded = Expanded(commandLine, variables);
    std::size_t at = 0;
    const std::string_view program = FirstToken(expanded, at, kBlanks);
    const std::string name = UpperAscii(ProgramFileName(std::string(program)));
    if (name != "RUNDLL32.EXE" && name != "RUNDLL32")
        return std::string(program);
    // rundll32 library,Entry arguments: the library ends at its comma as well as at a blank.
    const std::string_view library = FirstToken(expanded, at, " \t,");
    return library.empty() ? std::string(program) : std::string(library);
}

std::string ProgramFileName(const std::string& program) {
    const std::size_t last = program.find_last_of("\\/");
    return last == std::string::npos ? program : program.substr(last + 1);
}

} // namespace pestrel

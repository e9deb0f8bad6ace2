#include "app/ActionLine.h"

#include <cstdio>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace pestrel {
namespace {

bool OutputIsTerminal() {
#ifdef _WIN32
    static const bool terminal = _isatty(_fileno(stdout)) != 0;
#else
    static const bool terminal = isatty(fileno(stdout)) != 0;
#endif
    return terminal;
}

} // namespace

std::string ActionLine(const PassAction& action) {
    std::string line = action.failed ? "failed\t" + action.verb : action.verb;
    for (const std::string& field : action.fields)
        line += '\t' + Printable(field);
    return line;
}

std::string Printable(const std::string& field) {
    std::string shown = field;
    for (char& c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 127)
            c = '?';
    }
    return shown;
}

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    if (OutputIsTerminal())
        std::fflush(stdout);
}

} // namespace pestrel

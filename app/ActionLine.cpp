#include "app/ActionLine.h"

#include <cstdio>

namespace pestrel {

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
    std::fflush(stdout);
}

} // namespace pestrel

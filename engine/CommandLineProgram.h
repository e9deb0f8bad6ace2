#pragma once
// Which program a start-up command line runs, read the way Windows reads it.

#include <functional>
#include <optional>
#include <string>

namespace pestrel {

// The value of an environment variable by its name ("SystemRoot"), or nothing when unknown.
using VariableLookup = std::function<std::optional<std::string>(const std::string& name)>;

// The program of `commandLine`: `%NAME%` variables expanded (an unknown one stays as written),
// then the first token. A quoted token ends at its closing quote. An unquoted one ends at the
// first blank after which the text so far names a program file (an extension Windows starts,
// such as ".exe"), as Windows tries "C:\Program Files\x.exe" after "C:\Program"; at the first
// blank when none does. For `rundll32 library.dll,Entry` the program is the library.
// Arguments are ignored. Empty for a line of blanks.
std::string CommandLineProgram(const std::string& commandLine, const VariableLookup& variables);

// The file-name part of a program path ('\' and '/' both separate).
std::string ProgramFileName(const std::string& program);

} // namespace pestrel

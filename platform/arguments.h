// The program's command-line arguments as UTF-8, taken once at the entry point. Linux hands them over as
// bytes, which are names as they are; Windows as UTF-16, which the C runtime's `argv` would squeeze into
// the ANSI code page and so lose every letter outside it. Thread-safe.
#ifndef PIXMELD_PLATFORM_ARGUMENTS_H_
#define PIXMELD_PLATFORM_ARGUMENTS_H_

#include <string>
#include <vector>

namespace platform {

// The arguments after the program's name: `argv` on Linux; on Windows the process's own UTF-16 command
// line, split by the system's rules (a half of a UTF-16 pair comes out as bytes that are not UTF-8).
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace platform

#endif  // PIXMELD_PLATFORM_ARGUMENTS_H_

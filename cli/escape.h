// Names made safe to print: a file name may hold any byte but "/" and NUL, and a terminal obeys the
// control characters among them (a newline breaks the line, ESC starts a command). Thread-safe.
#ifndef PIXMELD_CLI_ESCAPE_H_
#define PIXMELD_CLI_ESCAPE_H_

#include <string>
#include <string_view>

namespace cli {

// `text` with "\\" for a backslash (except where a backslash separates folders), "\n", "\r", "\t" for those,
// "\xHH" (two lower-case hex digits) for every other control character (C0, DEL, and C1 as UTF-8) and for
// every byte that is not part of well-formed UTF-8. Everything else, UTF-8 letters included, stays as it is,
// so the result reads as the name and tells apart any two different names.
std::string EscapeForTerminal(std::string_view text);

}  // namespace cli

#endif  // PIXMELD_CLI_ESCAPE_H_

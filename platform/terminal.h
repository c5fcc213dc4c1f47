// Whether the standard error stream is a terminal, for output meant for a person watching (a progress
// line that rewrites itself). Thread-safe.
#ifndef PIXMELD_PLATFORM_TERMINAL_H_
#define PIXMELD_PLATFORM_TERMINAL_H_

namespace platform {

bool StandardErrorIsTerminal();

}  // namespace platform

#endif  // PIXMELD_PLATFORM_TERMINAL_H_

// The standard error stream, for the few lines the program writes there. Thread-safe: each call writes
// its text in one piece.
#ifndef PIXMELD_PLATFORM_STANDARD_ERROR_H_
#define PIXMELD_PLATFORM_STANDARD_ERROR_H_

#include <string_view>

namespace platform {

void WriteStandardError(std::string_view text);

}  // namespace platform

#endif  // PIXMELD_PLATFORM_STANDARD_ERROR_H_

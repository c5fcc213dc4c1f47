// The standard streams: output and error for the few lines the program writes there, input for a list it
// reads. The text is UTF-8; it reaches a file or a pipe as it is, and a Windows console as UTF-16, so that
// every name shows as it is whatever the console's code page. Thread-safe: each call writes its text in
// one piece.
#ifndef PIXMELD_PLATFORM_STANDARD_ERROR_H_
#define PIXMELD_PLATFORM_STANDARD_ERROR_H_

#include <istream>
#include <string_view>

namespace platform {

void WriteStandardError(std::string_view text);
void WriteStandardOutput(std::string_view text);

// Standard input, its bytes exactly as they come: Windows' C runtime would otherwise turn "\r\n" into
// "\n" and end the input at a Ctrl-Z byte, which UTF-16 text may hold.
std::istream& BinaryStandardInput();

}  // namespace platform

#endif  // PIXMELD_PLATFORM_STANDARD_ERROR_H_

#include "platform/terminal.h"

#include <windows.h>

namespace platform {

// A console, not any character device: the C runtime's isatty would take NUL for a terminal too.
bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

}  // namespace platform

#include "platform/interrupt.h"

#include <windows.h>

#include "platform/temporary_files.h"

namespace platform {
namespace {

// Windows runs the handler on a thread of its own, so the cleanup may lock and call anything. The exit
// status is that of the matching signal on Linux: Ctrl-C and Ctrl-Break as SIGINT, a closed console as
// SIGHUP, logging off and shutting down as SIGTERM.
BOOL WINAPI OnConsoleControl(DWORD event) {
  UINT status = 0;
  switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
      status = 128 + 2;
      break;
    case CTRL_CLOSE_EVENT:
      status = 128 + 1;
      break;
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      status = 128 + 15;
      break;
    default:
      return FALSE;
  }
  RemoveTemporaryFilesForExit();
  // At once, as _exit does: the other threads may hold the C runtime's locks.
  TerminateProcess(GetCurrentProcess(), status);
  return TRUE;
}

}  // namespace

// A Ctrl-C that the process was started with ignored (a process group of its own) stays ignored: Windows
// then calls no handler for it.
void RemoveTemporaryFilesOnInterrupt() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

}  // namespace platform

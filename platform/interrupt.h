// Ending the process on an interrupt (Ctrl-C, SIGTERM, SIGHUP; on Windows the console's Ctrl-C, Ctrl-Break
// and close) without leaving temporary files: the tracked ones (temporary_files.h) are removed and the
// process exits with status 128 + the signal's number (130 for Ctrl-C). A signal the process was started
// with ignored stays ignored. Thread rule: see the REQUIRES line.
#ifndef PIXMELD_PLATFORM_INTERRUPT_H_
#define PIXMELD_PLATFORM_INTERRUPT_H_

namespace platform {

// The signals are taken by a thread of their own (on Windows, the console's), so the cleanup may lock and
// call anything; every other thread keeps them blocked. REQUIRES: called once, before the process starts
// any other thread.
void RemoveTemporaryFilesOnInterrupt();

}  // namespace platform

#endif  // PIXMELD_PLATFORM_INTERRUPT_H_

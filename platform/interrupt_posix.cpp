#include "platform/interrupt.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include "platform/temporary_files.h"

namespace platform {
namespace {

sigset_t interrupts;

// A signal handler could only call async-signal-safe functions and would race the threads that create
// and rename files; sigwait on a thread of its own runs the cleanup as ordinary code instead.
void* AwaitInterrupt(void*) {
  int number = 0;
  while (sigwait(&interrupts, &number) != 0) {
  }
  RemoveTemporaryFilesForExit();
  _exit(128 + number);
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
  sigemptyset(&interrupts);
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current = {};
    if (sigaction(number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaddset(&interrupts, number);
  }
  // Blocked before any worker starts, so that every thread inherits the mask and only sigwait takes them.
  sigset_t previous;
  if (pthread_sigmask(SIG_BLOCK, &interrupts, &previous) != 0) return;
  pthread_t thread;
  if (pthread_create(&thread, nullptr, AwaitInterrupt, nullptr) != 0) {
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);  // no cleanup, but signals still end the process
    return;
  }
  pthread_detach(thread);
}

}  // namespace platform

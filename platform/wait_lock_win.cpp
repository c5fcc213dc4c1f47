#include "platform/wait_lock.h"

#include <windows.h>

namespace platform {
namespace {

// Both types are one pointer that starts as null (SRWLOCK_INIT, CONDITION_VARIABLE_INIT), so the
// header keeps a null pointer in their place and needs no Windows header.
static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

PSRWLOCK Srw(void** lock) { return reinterpret_cast<PSRWLOCK>(lock); }
PCONDITION_VARIABLE Condition(void** condition) { return reinterpret_cast<PCONDITION_VARIABLE>(condition); }

}  // namespace

void Mutex::lock() { AcquireSRWLockExclusive(Srw(&lock_)); }
void Mutex::unlock() { ReleaseSRWLockExclusive(Srw(&lock_)); }

void CondVar::Wait(Mutex& mutex) {
  SleepConditionVariableSRW(Condition(&condition_), Srw(&mutex.lock_), INFINITE, 0);
}
void CondVar::notify_one() { WakeConditionVariable(Condition(&condition_)); }

}  // namespace platform

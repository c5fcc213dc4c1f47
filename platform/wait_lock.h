// Mutex and CondVar: a lock and a condition to wait for under it, shared by the threads of one process,
// with the interface of std::mutex and std::condition_variable (lock_guard and unique_lock work with
// them). On Windows they are the system's slim lock and condition variable, which wait on an address in
// user space; MinGW's std::condition_variable waits on a semaphore, a kernel object, and under Wine every
// wait and wake of one is a round trip to the Wine server. Elsewhere they are the standard types.
// Neither is copyable or movable.
#ifndef PIXMELD_PLATFORM_WAIT_LOCK_H_
#define PIXMELD_PLATFORM_WAIT_LOCK_H_

#include <condition_variable>
#include <mutex>

namespace platform {

#ifdef _WIN32

class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;

  void lock();
  void unlock();

 private:
  friend class CondVar;
  void* lock_ = nullptr;  // an SRWLOCK: one pointer, unlocked when null
};

class CondVar {
 public:
  CondVar() = default;
  CondVar(const CondVar&) = delete;
  CondVar& operator=(const CondVar&) = delete;

  // Returns once `ready()` holds, tested under the lock. REQUIRES: `lock` owns its mutex.
  template <typename Predicate>
  void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
    while (!ready()) Wait(*lock.mutex());
  }
  void notify_one();

 private:
  void Wait(Mutex& mutex);     // may return without a wake, as every condition variable may
  void* condition_ = nullptr;  // a CONDITION_VARIABLE: one pointer, empty when null
};

#else

using Mutex = std::mutex;
using CondVar = std::condition_variable;

#endif  // _WIN32

}  // namespace platform

#endif  // PIXMELD_PLATFORM_WAIT_LOCK_H_

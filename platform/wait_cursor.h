// The wait cursor that shows the window is busy. Begin and End nest: the cursor stays busy while at
// least one Begin is open. Pair them through ScopedWaitCursor. The service is replaceable (the desktop
// program installs the toolkit's busy cursor); without one nothing is shown. Install before threads start.
#ifndef PIXMELD_PLATFORM_WAIT_CURSOR_H_
#define PIXMELD_PLATFORM_WAIT_CURSOR_H_

namespace platform {

class WaitCursor {
 public:
  virtual ~WaitCursor() = default;
  virtual void Begin() = 0;
  virtual void End() = 0;
};

// Installs `cursor` (not owned) and returns the one it replaces; null restores the silent default.
WaitCursor* InstallWaitCursor(WaitCursor* cursor);

// Shows the wait cursor for the lifetime of the scope, on every way out of it.
class ScopedWaitCursor {
 public:
  ScopedWaitCursor();
  ~ScopedWaitCursor();
  ScopedWaitCursor(const ScopedWaitCursor&) = delete;
  ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;

 private:
  WaitCursor* cursor_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_WAIT_CURSOR_H_

#include "platform/wait_cursor.h"

#include <atomic>

namespace platform {
namespace {

std::atomic<WaitCursor*> g_wait_cursor{nullptr};

}  // namespace

WaitCursor* InstallWaitCursor(WaitCursor* cursor) { return g_wait_cursor.exchange(cursor); }

// The guard keeps the cursor it began with, so that End() reaches the same service even if another
// one is installed meanwhile.
ScopedWaitCursor::ScopedWaitCursor() : cursor_(g_wait_cursor.load()) {
  if (cursor_ != nullptr) cursor_->Begin();
}

ScopedWaitCursor::~ScopedWaitCursor() {
  if (cursor_ != nullptr) cursor_->End();
}

}  // namespace platform

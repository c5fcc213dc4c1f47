#include "batch/batch_runner.h"

#include "batch/size_table.h"
#include "platform/file.h"
#include "platform/wait_cursor.h"

namespace batch {

BatchRunner::BatchRunner(BatchWindow& window, DownsizeStep step) : window_(window), step_(std::move(step)) {}

DownsizeStep BatchRunner::DefaultStep() {
  return [](int max_edge, const std::filesystem::path& source, const std::filesystem::path& destination) {
    return DownsizeFile(max_edge, source, destination);
  };
}

void BatchRunner::StartStop() {
  if (running_ <= 0) {
    running_ = 1;
    window_.SetStartCaption(kStopCaption);
  } else {
    Stop();
  }
}

void BatchRunner::Stop() {
  running_ = 0;
  window_.SetStartCaption(kStartCaption);
}

void BatchRunner::Tick() {
  if (in_tick_) return;
  in_tick_ = true;
  struct EndOfTick {
    bool& in_tick;
    ~EndOfTick() { in_tick = false; }
  } end_of_tick{in_tick_};

  const std::size_t count = window_.QueueCount();
  window_.EnableStart(count > 0);
  if (count == 0) Stop();

  if (running_ > 0) {
    platform::ScopedWaitCursor busy;
    const std::string source = window_.QueueEntry(0);
    const std::filesystem::path destination =
        platform::PathFromUtf8(window_.DestinationFolder()) / platform::PathFromUtf8(source).filename();
    const int max_edge = MaxEdgeAt(window_.SizeSelection());

    const imaging::Result result = step_(max_edge, platform::PathFromUtf8(source), destination);
    if (result.outcome == imaging::Outcome::kFolderRefuses) {
      // Every further photo would fail alike, each with a box of its own: stop, and keep this one.
      Stop();
      window_.ReportFailure(source, result);
    } else {
      if (!result.ok()) window_.ReportFailure(source, result);
      // The processed entry, not blindly entry 0: while the report's box was open, a drop may have put a
      // path in front of it.
      window_.RemoveQueueEntry(source);
      if (window_.QueueCount() == 0) window_.PostOpenCommand();
    }
  }

  window_.ShowCount(window_.QueueCount());
}

}  // namespace batch

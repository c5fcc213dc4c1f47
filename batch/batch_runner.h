// BatchRunner: the logic of a batch, one photo per tick of the window's timer. The window implements
// BatchWindow and calls StartStop for button 1 and Tick for every timer tick; the runner reads and
// changes the window only through that interface, so tests can run whole batches without one.
// GUI thread only.
#ifndef PIXMELD_BATCH_BATCH_RUNNER_H_
#define PIXMELD_BATCH_BATCH_RUNNER_H_

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>

#include "batch/downsize_file.h"

namespace batch {

inline constexpr char kStartCaption[] = "Start";
inline constexpr char kStopCaption[] = "Stop";

// What a tick reads from and changes in the window.
class BatchWindow {
 public:
  virtual ~BatchWindow() = default;

  // The work queue: its size, an entry, and the removal of the first entry that is exactly `path`.
  virtual std::size_t QueueCount() const = 0;
  virtual std::string QueueEntry(std::size_t index) const = 0;
  virtual void RemoveQueueEntry(const std::string& path) = 0;

  virtual std::string DestinationFolder() const = 0;  // as the window shows it, UTF-8
  virtual int SizeSelection() const = 0;              // the size list's selected entry

  virtual void EnableStart(bool enable) = 0;
  virtual void SetStartCaption(const std::string& caption) = 0;
  virtual void ShowCount(std::size_t count) = 0;  // "TOTAL: %d"
  // Posts the command that opens the destination folder; it runs after the tick, like a click on "Open".
  virtual void PostOpenCommand() = 0;
  // Tells the user that the photo `source` (as queued) was not written: FailureMessage(result.outcome)
  // (failure_message.h), and beneath it which photo and why. Returns once the user has taken note; the event
  // loop may run meanwhile, as under any modal box.
  virtual void ReportFailure(const std::string& source, const imaging::Result& result) = 0;
};

// The per-file step; DownsizeFile unless a test puts another in its place.
using DownsizeStep = std::function<imaging::Result(int max_edge, const std::filesystem::path& source,
                                                   const std::filesystem::path& destination)>;

class BatchRunner {
 public:
  explicit BatchRunner(BatchWindow& window, DownsizeStep step = DefaultStep());

  // Button 1: starts when not running (caption "Stop"), stops otherwise (caption "Start"). Stopping takes
  // effect between two photos.
  void StartStop();

  // One timer tick: enables Start exactly while the queue has entries; an empty queue ends the run; while
  // running, downsizes entry 0 into the destination folder at the chosen size and removes it, whatever
  // the outcome, except when the destination folder refuses new files (kFolderRefuses): then the run
  // stops and the photo stays queued, so that the user can pick another folder. A photo that was not
  // written is reported to the window, once. When the queue has just run empty, the destination folder is
  // opened. Last, the count. A tick that starts while another runs (a report's box keeps the event loop
  // going) does nothing.
  void Tick();

  bool running() const { return running_ > 0; }

  static DownsizeStep DefaultStep();

 private:
  void Stop();

  BatchWindow& window_;
  DownsizeStep step_;
  int running_ = 0;
  bool in_tick_ = false;
};

}  // namespace batch

#endif  // PIXMELD_BATCH_BATCH_RUNNER_H_

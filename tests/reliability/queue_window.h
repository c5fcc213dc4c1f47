// QueueWindow: a BatchWindow without a display, for driving the real BatchRunner and DownsizeFile over
// real files: the queue is a WorkQueue, and what the tick shows is recorded. Not thread-safe.
#ifndef PIXMELD_TESTS_RELIABILITY_QUEUE_WINDOW_H_
#define PIXMELD_TESTS_RELIABILITY_QUEUE_WINDOW_H_

#include <string>

#include "batch/batch_runner.h"
#include "batch/size_table.h"
#include "batch/work_queue.h"

namespace reliability {

class QueueWindow : public batch::BatchWindow {
 public:
  std::size_t QueueCount() const override { return queue.count(); }
  std::string QueueEntry(std::size_t index) const override { return queue.entry(index); }
  void RemoveQueueEntry(const std::string& path) override {
    if (auto index = queue.Find(path)) queue.Remove(*index);
  }
  std::string DestinationFolder() const override { return folder; }
  int SizeSelection() const override { return selection; }
  void EnableStart(bool) override {}
  void SetStartCaption(const std::string&) override {}
  void ShowCount(std::size_t) override {}
  void PostOpenCommand() override { ++open_commands; }

  batch::WorkQueue queue;
  std::string folder;
  int selection = batch::kDefaultSizeIndex;
  int open_commands = 0;
};

}  // namespace reliability

#endif  // PIXMELD_TESTS_RELIABILITY_QUEUE_WINDOW_H_

// FakeBatchWindow: a BatchWindow without a display, for driving the batch runner in tests and the soak.
// The queue is a real WorkQueue; what a tick shows is recorded. Not thread-safe.
#ifndef PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_
#define PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_

#include <string>

#include "batch/batch_runner.h"
#include "batch/size_table.h"
#include "batch/work_queue.h"

namespace testing_support {

struct FakeBatchWindow : batch::BatchWindow {
  std::size_t QueueCount() const override { return queue.count(); }
  std::string QueueEntry(std::size_t index) const override { return queue.entry(index); }
  void RemoveQueueEntry(const std::string& path) override {
    if (auto index = queue.Find(path)) queue.Remove(*index);
  }
  std::string DestinationFolder() const override { return folder; }
  int SizeSelection() const override { return selection; }
  void EnableStart(bool enable) override { start_enabled = enable; }
  void SetStartCaption(const std::string& text) override { caption = text; }
  void ShowCount(std::size_t count) override { shown_count = count; }
  void PostOpenCommand() override { ++open_commands; }

  batch::WorkQueue queue;
  std::string folder = "/out";
  int selection = batch::kDefaultSizeIndex;
  bool start_enabled = false;
  std::string caption = "Start";
  std::size_t shown_count = 0;
  int open_commands = 0;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_

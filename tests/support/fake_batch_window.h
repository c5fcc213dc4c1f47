// FakeBatchWindow: a BatchWindow without a display, for driving the batch runner in tests and the soak.
// The queue is a real WorkQueue; what a tick shows is recorded, each removal by the entry's file name and
// each failure as the line "<file name>: <message> (<reason>)". Not thread-safe.
#ifndef PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_
#define PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/failure_message.h"
#include "batch/size_table.h"
#include "batch/work_queue.h"

namespace testing_support {

struct FakeBatchWindow : batch::BatchWindow {
  std::size_t QueueCount() const override { return queue.count(); }
  std::string QueueEntry(std::size_t index) const override { return queue.entry(index); }
  void RemoveQueueEntry(const std::string& path) override {
    if (auto index = queue.Find(path)) queue.Remove(*index), removed.push_back(FileName(path));
  }
  std::string DestinationFolder() const override { return folder; }
  int SizeSelection() const override { return selection; }
  void EnableStart(bool enable) override { start_enabled = enable; }
  void SetStartCaption(const std::string& text) override { caption = text; }
  void ShowCount(std::size_t count) override { shown_count = count; }
  void PostOpenCommand() override { ++open_commands; }
  // A box keeps the event loop going: what `during_next_report` does happens while it shows.
  void ReportFailure(const std::string& source, const imaging::Result& result) override {
    reports.push_back(FileName(source) + ": " + batch::FailureMessage(result.outcome) + " (" + result.reason +
                      ")");
    if (during_next_report) std::exchange(during_next_report, nullptr)();
  }

  static std::string FileName(const std::string& path) {
    return std::filesystem::u8path(path).filename().u8string();
  }

  batch::WorkQueue queue;
  std::string folder = "/out";
  int selection = batch::kDefaultSizeIndex;
  bool start_enabled = false;
  std::string caption = "Start";
  std::size_t shown_count = 0;
  int open_commands = 0;
  std::vector<std::string> removed;  // the file names of the entries removed
  std::vector<std::string> reports;
  std::function<void()> during_next_report;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_FAKE_BATCH_WINDOW_H_

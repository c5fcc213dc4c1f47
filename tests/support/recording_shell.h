// A shell for tests: installed for its lifetime, it records every request in order instead of starting an
// opener, so that no test ever opens a real file manager or browser.
#ifndef PIXMELD_TESTS_SUPPORT_RECORDING_SHELL_H_
#define PIXMELD_TESTS_SUPPORT_RECORDING_SHELL_H_

#include <mutex>
#include <string>
#include <vector>

#include "platform/shell.h"

namespace testing_support {

class RecordingShell : public platform::Shell {
 public:
  RecordingShell() : scope_(this) {}

  void Open(const std::string& target) override {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(target);
  }

  std::vector<std::string> requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  platform::ScopedShell scope_;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_RECORDING_SHELL_H_

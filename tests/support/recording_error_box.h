// Error boxes for tests: a recorder that a test installs to assert what was shown, and the default box of
// the test program, which fails the running test, since no test may show a box it does not expect.
#ifndef PIXMELD_TESTS_SUPPORT_RECORDING_ERROR_BOX_H_
#define PIXMELD_TESTS_SUPPORT_RECORDING_ERROR_BOX_H_

#include <mutex>
#include <string>
#include <vector>

#include "platform/error_box.h"

namespace testing_support {

class RecordingErrorBox : public platform::ErrorBox {
 public:
  RecordingErrorBox() : scope_(this) {}

  void Show(const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    shown_.push_back(text);
  }

  std::vector<std::string> shown() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> shown_;
  platform::ScopedErrorBox scope_;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_RECORDING_ERROR_BOX_H_

#include "platform/error_box.h"

#include <atomic>

#include "platform/standard_error.h"

namespace platform {
namespace {

class StandardErrorBox final : public ErrorBox {
 public:
  void Show(const std::string& text) override {
    WriteStandardError(std::string(kErrorCaption) + ": " + text + "\n");
  }
};

StandardErrorBox g_standard_error_box;
std::atomic<ErrorBox*> g_error_box{nullptr};

}  // namespace

void ShowErrorBox(const std::string& text) {
  ErrorBox* box = g_error_box.load();
  (box != nullptr ? *box : static_cast<ErrorBox&>(g_standard_error_box)).Show(text);
}

ErrorBox* InstallErrorBox(ErrorBox* box) { return g_error_box.exchange(box); }

}  // namespace platform

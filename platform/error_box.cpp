#include "platform/error_box.h"

#include <atomic>

#include "platform/standard_error.h"

namespace platform {
namespace {

class StandardErrorBox final : public ErrorBox {
 public:
  void Show(const std::string& text, const std::string& detail) override {
    WriteStandardError(StandardErrorText(text, detail));
  }
};

StandardErrorBox g_standard_error_box;
std::atomic<ErrorBox*> g_error_box{nullptr};

}  // namespace

std::string StandardErrorText(const std::string& text, const std::string& detail) {
  return std::string(kErrorCaption) + ": " + text + "\n" + (detail.empty() ? "" : detail + "\n");
}

void ShowErrorBox(const std::string& text, const std::string& detail) {
  ErrorBox* box = g_error_box.load();
  (box != nullptr ? *box : static_cast<ErrorBox&>(g_standard_error_box)).Show(text, detail);
}

ErrorBox* InstallErrorBox(ErrorBox* box) { return g_error_box.exchange(box); }

}  // namespace platform

#include "tests/app/modal_dialogs.h"

#include <gtest/gtest.h>
#include <wx/timer.h>
#include <wx/utils.h>

namespace testing_support {
namespace {

ExpectModalDialog* g_expected = nullptr;
wxDialog* g_running = nullptr;

}  // namespace

int ModalDialogGuard::Enter(wxDialog* dialog) {
  if (dialog == g_running) return wxID_NONE;
  if (g_expected == nullptr || g_expected->count_ > 0) {
    ADD_FAILURE() << "unexpected modal dialog \"" << dialog->GetTitle().utf8_string() << "\"";
    return wxID_CANCEL;
  }
  ++g_expected->count_;
  const int code = g_expected->check_(dialog);
  EXPECT_NE(code, wxID_NONE) << "a test must not leave a modal dialog waiting for a user";
  return code == wxID_NONE ? wxID_CANCEL : code;
}

void ModalDialogGuard::Exit(wxDialog*) {}

ExpectModalDialog::ExpectModalDialog(std::function<int(wxDialog*)> check) : check_(std::move(check)) {
  EXPECT_EQ(g_expected, nullptr) << "one expected dialog at a time";
  g_expected = this;
}

ExpectModalDialog::~ExpectModalDialog() {
  EXPECT_EQ(count_, 1) << "the expected modal dialog did not come";
  g_expected = nullptr;
}

int RunModal(wxDialog* dialog, const std::function<void()>& action) {
  g_running = dialog;
  // A dialog that has ended is hidden at once; Windows' stays modal until its loop has returned.
  const auto still_open = [dialog] { return dialog->IsModal() && dialog->IsShown(); };
  dialog->CallAfter([dialog, &action, still_open] {
    action();
    for (int i = 0; i < 20 && still_open(); ++i) {
      wxYield();
      wxMilliSleep(10);
    }
    if (still_open()) dialog->EndModal(kStillOpen);
  });
  const int code = dialog->ShowModal();
  g_running = nullptr;
  return code;
}

int RunModalFor(wxDialog* dialog, int limit_ms) {
  g_running = dialog;
  wxTimer limit;
  limit.Bind(wxEVT_TIMER, [dialog](wxTimerEvent&) {
    if (dialog->IsModal()) dialog->EndModal(kStillOpen);
  });
  limit.StartOnce(limit_ms);
  const int code = dialog->ShowModal();
  g_running = nullptr;
  return code;
}

}  // namespace testing_support

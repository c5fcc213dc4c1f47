// Modal dialogs in tests: a guard answers each one before it shows, handing an expected one to the test's
// check and failing and cancelling any other, so that no test waits for a user; RunModal runs one dialog's
// modal loop for real, as long as a test's action takes. GUI thread only.
#ifndef PIXMELD_TESTS_APP_MODAL_DIALOGS_H_
#define PIXMELD_TESTS_APP_MODAL_DIALOGS_H_

#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <functional>

namespace testing_support {

// Registered by the test program's main for the whole run.
class ModalDialogGuard final : public wxModalDialogHook {
 protected:
  int Enter(wxDialog* dialog) override;
  void Exit(wxDialog* dialog) override;
};

// Expects exactly one modal dialog while it lives. `check` looks at the dialog, which has been made but
// is not shown, and returns the code that the dialog's ShowModal gives back (never wxID_NONE).
class ExpectModalDialog {
 public:
  explicit ExpectModalDialog(std::function<int(wxDialog*)> check);
  ~ExpectModalDialog();  // fails the test unless exactly one dialog came
  ExpectModalDialog(const ExpectModalDialog&) = delete;
  ExpectModalDialog& operator=(const ExpectModalDialog&) = delete;

 private:
  friend class ModalDialogGuard;

  std::function<int(wxDialog*)> check_;
  int count_ = 0;
};

// The code RunModal gives when the dialog was still open after the action.
inline constexpr int kStillOpen = -2;

// Runs `dialog` modally; once its modal loop runs, does `action`, lets the dialog handle the events that
// followed, and ends the loop with kStillOpen if the dialog has not ended itself. Returns the code that
// ShowModal gave.
int RunModal(wxDialog* dialog, const std::function<void()>& action);

// Runs `dialog` modally in the toolkit's own event loop, with no loop of the test's inside it, until the
// dialog ends itself or `limit_ms` have passed; then ends it with kStillOpen. Returns ShowModal's code.
int RunModalFor(wxDialog* dialog, int limit_ms);

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_MODAL_DIALOGS_H_

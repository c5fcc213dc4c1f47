// What the GUI tests share, set up by gui_test_main.cpp for the whole run: the program's own folder and
// the user's picture folder in a folder of the run's, a guard that fails and cancels every modal dialog,
// error box and shell request that a test did not expect, and a real modal loop. GUI thread only.
#ifndef PIXMELD_TESTS_APP_GUI_TEST_H_
#define PIXMELD_TESTS_APP_GUI_TEST_H_

#include <gtest/gtest.h>
#include <wx/dialog.h>

#include "platform/shell.h"

namespace testing_support {

// Expects exactly one modal dialog while it lives: `check` sees it made but not shown and returns the code
// that its ShowModal gives back.
struct ExpectModalDialog {
  explicit ExpectModalDialog(std::function<int(wxDialog*)> c) : check(std::move(c)) { expected = this; }
  ~ExpectModalDialog() {
    EXPECT_EQ(count, 1) << "the expected modal dialog did not come";
    expected = nullptr;
  }
  std::function<int(wxDialog*)> check;
  int count = 0;
  static inline ExpectModalDialog* expected = nullptr;
};

// What RunModal gives when the window was still open at the end.
inline constexpr int kStillOpen = -2;

// Runs `dialog` modally; once its loop runs, does `action`, then lets the loop run until `until()` holds
// (checked every 10 ms, for at most 3 s; null: at once) and ends it with kStillOpen unless it has ended.
int RunModal(wxDialog* dialog, std::function<bool()> until, std::function<void()> action = nullptr);

// Records the shell requests made while it lives, in place of the desktop's opener.
struct RecordingShell : platform::Shell {
  void Open(const std::string& target) override { requests.push_back(target); }
  std::vector<std::string> requests;
  platform::ScopedShell scope{this};
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_GUI_TEST_H_

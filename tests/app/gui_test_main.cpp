// Entry of the GUI test program: starts the toolkit on the (virtual) display, turns the toolkit's
// assertions into test failures, and answers every modal dialog, error box and shell request that a test
// did not expect with a failure, so that a test can never wait for a user or open a real file manager or
// browser.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

#include "platform/error_box.h"
#include "platform/shell.h"
#include "tests/app/modal_dialogs.h"

namespace {

class UnexpectedErrorBox final : public platform::ErrorBox {
 public:
  void Show(const std::string& text) override { ADD_FAILURE() << "unexpected error box: " << text; }
};

class UnexpectedShell final : public platform::Shell {
 public:
  void Open(const std::string& target) override { ADD_FAILURE() << "unexpected shell request: " << target; }
};

void FailOnAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                  const wxString& message) {
  ADD_FAILURE_AT(file.utf8_string().c_str(), line)
      << "toolkit assertion in " << function.utf8_string() << ": " << condition.utf8_string() << " "
      << message.utf8_string();
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();

  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "cannot start the toolkit: is there a display?\n");
    return 1;
  }
  wxSetAssertHandler(FailOnAssert);
  testing_support::ModalDialogGuard guard;
  guard.Register();
  UnexpectedErrorBox unexpected;
  platform::InstallErrorBox(&unexpected);
  UnexpectedShell unexpected_shell;
  platform::InstallShell(&unexpected_shell);

  const int result = RUN_ALL_TESTS();

  platform::InstallShell(nullptr);
  platform::InstallErrorBox(nullptr);
  guard.Unregister();
  wxEntryCleanup();
  return result;
}

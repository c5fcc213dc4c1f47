// Entry of the GUI test program: starts the toolkit on the (virtual) display, gives the run its own folders,
// and fails every toolkit assertion, error box, shell request and modal dialog that a test did not expect,
// so that no test waits for a user or opens a real file manager or browser.
#include <wx/app.h>
#include <wx/init.h>
#include <wx/modalhook.h>
#include <wx/timer.h>

#include <fstream>

#include "platform/error_box.h"
#include "tests/app/gui_test.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

wxDialog* g_running = nullptr;  // the one RunModal shows

struct Guard final : wxModalDialogHook, platform::ErrorBox, platform::Shell {
  int Enter(wxDialog* dialog) override {
    if (dialog == g_running) return wxID_NONE;
    ExpectModalDialog* expected = ExpectModalDialog::expected;
    const bool awaited = expected != nullptr && ++expected->count == 1;
    EXPECT_TRUE(awaited) << "unexpected modal dialog " << dialog->GetTitle();
    const int code = awaited ? expected->check(dialog) : wxID_CANCEL;
    return code == wxID_NONE ? wxID_CANCEL : code;  // never left waiting for a user
  }
  void Exit(wxDialog*) override {}
  void Show(const std::string& text, const std::string& detail) override {
    ADD_FAILURE() << "unexpected error box: " << text << " (" << detail << ")";
  }
  void Open(const std::string& target) override { ADD_FAILURE() << "unexpected shell request: " << target; }
};

}  // namespace

int RunModal(wxDialog* dialog, std::function<bool()> until, std::function<void()> action) {
  g_running = dialog;
  int polls = 0;
  wxTimer poll;
  poll.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    // A dialog that has ended is hidden at once; Windows' stays modal until its loop has returned.
    if (!dialog->IsModal() || !dialog->IsShown() || (until && !until() && ++polls < 300)) return;
    EXPECT_TRUE(!until || until()) << "what the test waited for did not come";
    dialog->EndModal(kStillOpen);
  });
  dialog->CallAfter([&] {
    if (action) action();
    poll.Start(10);
  });
  const int code = dialog->ShowModal();
  g_running = nullptr;
  return code;
}

}  // namespace testing_support

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 1;
  wxSetAssertHandler([](const wxString& file, int line, const wxString& function, const wxString& condition,
                        const wxString& message) {
    ADD_FAILURE_AT(file.utf8_string().c_str(), line) << function << ": " << condition << " " << message;
  });
  testing_support::Guard guard;
  guard.Register();
  platform::InstallErrorBox(&guard);
  platform::InstallShell(&guard);
  // The program's own folder goes into the run's folder, whose name has letters of other scripts, as a
  // user's may have; so does the user's picture folder, where the system names none (Wine's registry
  // names one).
  testing_support::TempDir run;
  const auto temporary = run.path() / std::filesystem::u8path("Zo\xC3\xAB \xE5\x86\x99\xE7\x9C\x9F");
  std::filesystem::create_directory(temporary);
#ifdef _WIN32
  _wputenv_s(L"TMP", temporary.c_str());
#else
  setenv("TMPDIR", temporary.c_str(), 1);
  setenv("XDG_CONFIG_HOME", run.path().c_str(), 1);
  std::ofstream(run / "user-dirs.dirs")
      << "XDG_PICTURES_DIR=\"" << (run / "Fotos & Bilder").string() << "\"\n";
#endif
  const int result = RUN_ALL_TESTS();
  wxEntryCleanup();  // drops the guard from the toolkit's hooks too
  return result;
}

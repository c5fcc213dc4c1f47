// The main window's destination folder and shell shortcuts: "Change", "Open", "My Images", "Facebook" and
// "Like It", with a recording shell in place of the desktop's.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/dirdlg.h>
#include <wx/utils.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "res/web_addresses.h"
#include "tests/app/modal_dialogs.h"
#include "tests/app/user_folders.h"
#include "tests/support/recording_shell.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Requests = std::vector<std::string>;

wxString Text(const fs::path& path) { return wxString::FromUTF8(path.u8string()); }

// The program's folders come from a fresh temporary directory, and the user names no picture folder.
class MainDialogShellTest : public testing::Test {
 protected:
  // A press of the button `id`, as the button itself reports it.
  static void Click(wxWindow* dialog, int id) {
    wxWindow* button = dialog->FindWindow(id);
    ASSERT_NE(dynamic_cast<wxButton*>(button), nullptr) << "no button " << id;
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
  }

  testing_support::TempDir temp_;
  testing_support::UserFolders folders_{temp_.path()};
  testing_support::RecordingShell shell_;
};

TEST_F(MainDialogShellTest, EachShortcutAsksTheShellForItsTarget) {
  folders_.SetPictureFolder(temp_ / "Fotos & Bilder");
  MainDialog dialog;
  const std::string destination = "/tmp/x/it's a \"test\" $(touch pwned) -n";
  dialog.SetDestinationFolder(wxString::FromUTF8(destination));
  struct Case {
    int id;
    std::string target;
  };
  const Case cases[] = {
      {8, destination},
      {7, (temp_ / "Fotos & Bilder").string()},
      {5, res::kFacebookHomePage},
      {4, res::kMakerFacebookPage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const std::size_t before = shell_.requests().size();
    Click(&dialog, c.id);
    const Requests requests = shell_.requests();
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_EQ(requests.back(), c.target);
  }
  EXPECT_EQ(dialog.destination_folder().utf8_string(), destination);
}

// The shell reports a missing folder or an empty target itself; the window shows nothing, not even once
// its event loop has run on (the guards of the test program fail any dialog or error box).
TEST_F(MainDialogShellTest, MissingFolderAndEmptyPictureFolderGoToTheShellAsTheyAre) {
  MainDialog dialog;
  ASSERT_EQ(dialog.picture_folder(), "");
  const fs::path missing = temp_ / "gone away";
  dialog.SetDestinationFolder(Text(missing));
  const int code = testing_support::RunModal(&dialog, [&] {
    Click(&dialog, 8);
    Click(&dialog, 7);
  });
  EXPECT_EQ(code, testing_support::kStillOpen);
  EXPECT_EQ(shell_.requests(), (Requests{missing.string(), ""}));
}

// The batch runner posts "Open" when the queue runs empty: it runs once, after the current event.
TEST_F(MainDialogShellTest, PostedOpenRunsOnceAfterTheCurrentEvent) {
  MainDialog dialog;
  wxQueueEvent(&dialog, new wxCommandEvent(wxEVT_BUTTON, 8));
  EXPECT_EQ(shell_.requests(), Requests{});
  wxTheApp->ProcessPendingEvents();
  wxTheApp->ProcessPendingEvents();
  EXPECT_EQ(shell_.requests(), Requests{dialog.destination_folder().utf8_string()});
}

TEST_F(MainDialogShellTest, ChangeTakesTheChosenFolderExactly) {
  MainDialog dialog;
  const wxString before = dialog.destination_folder();
  const fs::path chosen = temp_.MakeOddlyNamedFolder();
  std::vector<std::pair<wxWindow*, wxString>> asked;
  dialog.set_folder_dialog([&](wxWindow* owner, const wxString& initial) {
    asked.emplace_back(owner, initial);
    return Text(chosen);
  });
  Click(&dialog, 6);
  EXPECT_EQ(asked, (std::vector<std::pair<wxWindow*, wxString>>{{&dialog, before}}));
  EXPECT_EQ(dialog.destination_folder(), Text(chosen));
  EXPECT_EQ(dialog.destination_folder().utf8_string(), chosen.u8string());

  Click(&dialog, 8);
  EXPECT_EQ(shell_.requests(), Requests{chosen.u8string()});
}

TEST_F(MainDialogShellTest, CancelOrAFolderThatIsGoneLeavesTheDestination) {
  MainDialog dialog;
  const wxString before = dialog.destination_folder();
  for (const wxString& answer : {wxString(), Text(temp_ / "gone")}) {
    dialog.set_folder_dialog([&](wxWindow*, const wxString&) { return answer; });
    Click(&dialog, 6);
    EXPECT_EQ(dialog.destination_folder(), before);
  }
}

// The real chooser, answered by the test program's guard instead of a user.
TEST_F(MainDialogShellTest, ChangeShowsTheToolkitChooserForExistingFoldersOverTheWindow) {
  MainDialog dialog;
  const wxString before = dialog.destination_folder();
  const int code = testing_support::RunModal(&dialog, [&] {
    testing_support::ExpectModalDialog expect([&](wxDialog* shown) {
      EXPECT_NE(dynamic_cast<wxDirDialog*>(shown), nullptr);
      EXPECT_TRUE(shown->HasFlag(wxDD_DIR_MUST_EXIST));
      EXPECT_EQ(shown->GetParent(), &dialog);
      return wxID_CANCEL;
    });
    Click(&dialog, 6);
  });
  EXPECT_EQ(code, testing_support::kStillOpen);
  EXPECT_EQ(dialog.destination_folder(), before);
}

}  // namespace
}  // namespace app

// The whole job in the window: photos dropped or added, Start, one photo per tick into the destination
// folder, and the folder opened once at the end.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "tests/app/modal_dialogs.h"
#include "tests/app/user_folders.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/recording_shell.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

wxString Text(const fs::path& path) { return wxString::FromUTF8(path.u8string()); }

class MainDialogBatchTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(temp_ / "in");
    fs::create_directories(temp_ / "out");
    dialog_.batch_timer().Stop();  // the tests tick by hand
    dialog_.SetDestinationFolder(Text(temp_ / "out"));
  }

  // Drops `paths` on `target`, as the toolkit reports a drop.
  static void Drop(wxWindow* target, const std::vector<fs::path>& paths) {
    auto* files = new wxString[paths.size()];  // the event owns and frees them
    for (std::size_t i = 0; i < paths.size(); ++i) files[i] = Text(paths[i]);
    wxDropFilesEvent drop(wxEVT_DROP_FILES, static_cast<int>(paths.size()), files);
    target->ProcessWindowEvent(drop);
  }

  static void Click(wxWindow* dialog, int id) {
    wxWindow* button = dialog->FindWindow(id);
    wxCommandEvent click(wxEVT_BUTTON, id);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
  }

  fs::path Photo(const std::string& name, int width, int height) {
    testing_support::JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    testing_support::WriteJpeg(temp_ / "in" / name, recipe);
    return temp_ / "in" / name;
  }

  static Strings ListedIn(wxWindow* dialog) {
    Strings entries;
    for (const wxString& entry : dynamic_cast<wxListBox*>(dialog->FindWindow(1000))->GetStrings()) {
      entries.push_back(entry.utf8_string());
    }
    return entries;
  }
  Strings Listed() { return ListedIn(&dialog_); }

  void Tick() {
    dialog_.batch_timer().Notify();
    wxTheApp->ProcessPendingEvents();
  }

  wxListBox* list() { return dynamic_cast<wxListBox*>(dialog_.FindWindow(1000)); }
  wxButton* start() { return dynamic_cast<wxButton*>(dialog_.FindWindow(wxID_OK)); }
  wxString count() { return dynamic_cast<wxStaticTextBase*>(dialog_.FindWindow(1010))->GetLabelText(); }
  std::string In(const std::string& name) { return (temp_ / "in" / fs::u8path(name)).u8string(); }

  testing_support::TempDir temp_;
  testing_support::UserFolders folders_{temp_.path()};
  testing_support::RecordingShell shell_;
  MainDialog dialog_;
};

TEST_F(MainDialogBatchTest, DroppedJpegFilesJoinTheQueueWhereverTheyLand) {
  fs::create_directory(temp_ / "in" / "folder.jpg");
  Drop(list(), {temp_ / "in" / "c.png", temp_ / "in" / "b.Jpeg", temp_ / "in" / "A.JPG",
                temp_ / "in" / "folder.jpg"});
  EXPECT_EQ(Listed(), (Strings{In("A.JPG"), In("b.Jpeg")}));
  EXPECT_EQ(count(), "TOTAL: 2");

  const std::string umlaut =
      "\xC3\x9C"
      "berlingen.jpg";
  Drop(&dialog_, {temp_ / "in" / fs::u8path(umlaut)});
  Drop(dialog_.FindWindow(8), {temp_ / "in" / "a2.jpg"});  // on the "Open" button
  EXPECT_EQ(Listed(), (Strings{In("A.JPG"), In("a2.jpg"), In("b.Jpeg"), In(umlaut)}));
  EXPECT_EQ(count(), "TOTAL: 4");

  // A photo is listed once, however often it comes; another letter case is another file.
  Drop(list(), {temp_ / "in" / "b.Jpeg", temp_ / "in" / "b.jpeg", temp_ / "in" / "b.jpeg"});
  EXPECT_EQ(Listed(), (Strings{In("A.JPG"), In("a2.jpg"), In("b.Jpeg"), In("b.jpeg"), In(umlaut)}));
  EXPECT_EQ(count(), "TOTAL: 5");
}

TEST_F(MainDialogBatchTest, ABatchRunsOnePhotoPerTickAndOpensTheFolderOnce) {
  dynamic_cast<wxChoice*>(dialog_.FindWindow(1009))->SetSelection(9);  // "100 Thumbnail"
  Drop(&dialog_, {Photo("c.jpg", 300, 150), Photo("A.jpg", 120, 400), Photo("b.jpg", 80, 60)});
  Tick();
  EXPECT_TRUE(start()->IsEnabled());
  Click(&dialog_, wxID_OK);
  EXPECT_EQ(start()->GetLabel(), "Stop");

  Tick();
  EXPECT_EQ(testing_support::TempDir::EntriesOf(temp_ / "out"), Strings{"A.jpg"});
  EXPECT_EQ(count(), "TOTAL: 2");
  Tick();
  Tick();
  EXPECT_EQ(testing_support::TempDir::EntriesOf(temp_ / "out"), (Strings{"A.jpg", "b.jpg", "c.jpg"}));
  EXPECT_EQ(shell_.requests(), Strings{(temp_ / "out").string()});
  EXPECT_EQ(testing_support::ReadJpegFacts(temp_ / "out" / "A.jpg").height, 100);
  EXPECT_EQ(testing_support::ReadJpegFacts(temp_ / "out" / "A.jpg").width, 30);
  EXPECT_EQ(testing_support::ReadJpegFacts(temp_ / "out" / "c.jpg").width, 100);
  EXPECT_EQ(testing_support::ReadJpegFacts(temp_ / "out" / "b.jpg").width, 80) << "fits: only re-encoded";
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(count(), "TOTAL: 0");

  Tick();
  EXPECT_EQ(start()->GetLabel(), "Start");
  EXPECT_FALSE(start()->IsEnabled());
  EXPECT_FALSE(dialog_.running());
  EXPECT_EQ(shell_.requests().size(), 1u);
}

TEST_F(MainDialogBatchTest, AddImagesAddsEveryChosenFileAndCancelNothing) {
  dialog_.set_image_dialog([&](wxWindow* owner) {
    EXPECT_EQ(owner, &dialog_);
    wxArrayString paths;
    paths.Add(Text(temp_ / "in" / "z.jpg"));
    paths.Add(Text(temp_ / "in" / "Y.JPG"));
    paths.Add(Text(temp_ / "in" / "z.jpg"));
    return paths;
  });
  Click(&dialog_, 3);
  EXPECT_EQ(Listed(), (Strings{In("Y.JPG"), In("z.jpg")})) << "a photo is listed once";
  EXPECT_EQ(count(), "TOTAL: 2");
  Click(&dialog_, 3);
  EXPECT_EQ(count(), "TOTAL: 2");

  dialog_.set_image_dialog([](wxWindow*) { return wxArrayString(); });
  Click(&dialog_, 10);  // Clear: the count follows on the next tick
  EXPECT_TRUE(Listed().empty());
  EXPECT_EQ(count(), "TOTAL: 2");
  Click(&dialog_, 3);
  EXPECT_EQ(count(), "TOTAL: 2") << "a cancelled dialog leaves the label as it was";
  Tick();
  EXPECT_EQ(count(), "TOTAL: 0");
}

TEST_F(MainDialogBatchTest, ADestinationThatVanishesStopsTheRunWithOneMessage) {
  testing_support::RecordingErrorBox boxes;
  Drop(&dialog_, {Photo("a.jpg", 20, 20), Photo("b.jpg", 20, 20), Photo("c.jpg", 20, 20)});
  Click(&dialog_, wxID_OK);
  Tick();
  fs::remove_all(temp_ / "out");
  testing::internal::CaptureStderr();
  Tick();
  Tick();
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(boxes.shown(), Strings{"Error writing JPEG file"});
  EXPECT_FALSE(dialog_.running());
  EXPECT_EQ(start()->GetLabel(), "Start");
  EXPECT_EQ(Listed(), (Strings{In("b.jpg"), In("c.jpg")}));
  EXPECT_TRUE(shell_.requests().empty());

  // A folder the user picked is never made again: Start stops at the same error.
  Click(&dialog_, wxID_OK);
  testing::internal::CaptureStderr();
  Tick();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(fs::exists(temp_ / "out"));
  EXPECT_EQ(boxes.shown().size(), 2u);
  EXPECT_FALSE(dialog_.running());

  // Another folder, Start again: nothing is lost.
  fs::create_directory(temp_ / "elsewhere");
  dialog_.SetDestinationFolder(Text(temp_ / "elsewhere"));
  Click(&dialog_, wxID_OK);
  Tick();
  Tick();
  EXPECT_EQ(testing_support::TempDir::EntriesOf(temp_ / "elsewhere"), (Strings{"b.jpg", "c.jpg"}));
}

// Pixmeld's own folder, unlike a picked one, comes back when it has vanished, private as at start-up.
TEST_F(MainDialogBatchTest, StartMakesTheDefaultFolderAgainWhenItHasVanished) {
  MainDialog dialog;  // made once TMPDIR names this test's folder
  dialog.batch_timer().Stop();
  const fs::path own = temp_ / "Pixmeld";
  ASSERT_EQ(dialog.destination_folder(), Text(own));
  fs::remove(own);
  Drop(&dialog, {Photo("a.jpg", 20, 20)});
  Click(&dialog, wxID_OK);
  dialog.batch_timer().Notify();
  wxTheApp->ProcessPendingEvents();
  EXPECT_EQ(testing_support::TempDir::EntriesOf(own), Strings{"a.jpg"});
#ifndef _WIN32  // only a temporary directory that every user shares needs a private folder
  EXPECT_EQ(fs::status(own).permissions(), fs::perms::owner_all);
#endif
  EXPECT_EQ(shell_.requests(), Strings{own.string()});
}

// A click that comes while a photo blocks the window is served before the next tick: the photo in hand is
// finished and no other is begun. The fake step takes longer than the timer's interval, as a big photo
// does, and the click is queued during it.
TEST_F(MainDialogBatchTest, StopClearAndExitActBeforeTheNextPhoto) {
  struct Case {
    const char* name;
    int button;
    int code;   // what ShowModal gives back
    int ticks;  // Exit ends the window before a second tick
    Strings left;
  };
  const Case cases[] = {
      {"Stop", wxID_OK, testing_support::kStillOpen, 3, {In("b.jpg"), In("c.jpg")}},
      {"Clear", 10, testing_support::kStillOpen, 3, {}},
      {"Exit", wxID_CANCEL, wxID_CANCEL, 1, {In("b.jpg"), In("c.jpg")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Strings converted;
    wxWindow* button = nullptr;
    MainDialog dialog([&](int, const fs::path& source, const fs::path&) {
      converted.push_back(source.filename().string());
      if (converted.size() == 1) {
        auto* click = new wxCommandEvent(wxEVT_BUTTON, c.button);
        click->SetEventObject(button);
        wxQueueEvent(button, click);
      }
      wxMilliSleep(150);
      return imaging::Result{};
    });
    button = dialog.FindWindow(c.button);
    Drop(&dialog, {temp_ / "in" / "a.jpg", temp_ / "in" / "b.jpg", temp_ / "in" / "c.jpg"});
    Click(&dialog, wxID_OK);
    // Three ticks: a click that waited for the toolkit's overdue ticks would let two more photos through.
    int ticks = 0;
    dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& tick) {
      tick.Skip();
      if (++ticks == 3 && dialog.IsModal()) dialog.EndModal(testing_support::kStillOpen);
    });
    EXPECT_EQ(testing_support::RunModalFor(&dialog, 3000), c.code);
    EXPECT_EQ(converted, Strings{"a.jpg"});
    EXPECT_EQ(ticks, c.ticks);
    EXPECT_EQ(ListedIn(&dialog), c.left);
  }
}

}  // namespace
}  // namespace app

// The main window on a real display: drops on any control, the keys wherever the focus is, the ticks
// wired to the list and clicks that come while a photo is in hand, and what each button hands the shell.
#include "app/main_dialog.h"

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dnd.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>

#include <memory>

#include "app/about_dialog.h"
#include "app/dialog_builder.h"
#include "app/system_menu.h"
#include "res/web_addresses.h"
#include "tests/app/gui_test.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using testing_support::kStillOpen;
using testing_support::RunModal;

template <typename Control = wxWindow>
Control* Find(wxWindow* dialog, int id) {
  return dynamic_cast<Control*>(dialog->FindWindow(WindowIdFor(id)));
}

// A click on the button `id`, handled at once or queued as one that comes while the window is busy.
void Click(wxWindow* dialog, int id, bool queued = false) {
  wxWindow* button = Find(dialog, id);
  auto click = std::make_unique<wxCommandEvent>(wxEVT_BUTTON, button->GetId());
  click->SetEventObject(button);
  queued ? wxQueueEvent(button, click.release()) : (void)button->ProcessWindowEvent(*click);
}

// A timer tick, and then what it posted.
void Tick(MainDialog& dialog) {
  dialog.batch_timer().Notify();
  wxTheApp->ProcessPendingEvents();
}

// A drop on `target`, handed over as the toolkit does (on GTK through the window's drop target).
void Drop(wxWindow* target, const Strings& paths) {
  wxArrayString files;
  for (const std::string& path : paths) files.Add(wxString::FromUTF8(path));
#ifdef __WXMSW__
  wxDropFilesEvent drop(wxEVT_DROP_FILES, static_cast<int>(files.size()), wxCArrayString(files).Release());
  target->ProcessWindowEvent(drop);
#else
  auto* drop_target = dynamic_cast<wxFileDropTarget*>(target->GetDropTarget());
  ASSERT_NE(drop_target, nullptr) << "takes no drops";
  drop_target->OnDropFiles(0, 0, files);
#endif
}

Strings Listed(wxWindow* dialog) {
  Strings listed;
  for (const wxString& entry : Find<wxListBox>(dialog, res::kIdQueueList)->GetStrings()) {
    listed.push_back(entry.utf8_string());
  }
  return listed;
}

TEST(MainDialogTest, JpegFilesDroppedOnAnyControlJoinTheQueue) {
  MainDialog dialog;
  std::vector<wxWindow*> targets(dialog.GetChildren().begin(), dialog.GetChildren().end());
  targets.push_back(&dialog);
  Strings expected;
  for (wxWindow* target : targets) {
    expected.push_back("/in/" + std::to_string(100 + expected.size()) + ".jpg");
    Drop(target, {expected.back()});
  }
  // Other files and folders are passed over; "Add Images" takes whatever the user chose.
  testing_support::TempDir temp;
  fs::create_directory(temp / "folder.jpg");
  Drop(&dialog, {"/in/a.png", (temp / "folder.jpg").u8string(), "/in/B.JPEG"});
  dialog.set_image_dialog([](wxWindow*) { return wxSplit("/in/c.png", ','); });
  Click(&dialog, res::kIdAddImages);
  expected.insert(expected.end(), {"/in/B.JPEG", "/in/c.png"});
  EXPECT_EQ(Listed(&dialog), expected);
  EXPECT_EQ(Find<wxStaticTextBase>(&dialog, res::kIdCount)->GetLabelText(),
            wxString::Format("TOTAL: %d", static_cast<int>(expected.size())));
}

// Enter presses Start wherever the focus is; Start, disabled while it has the focus (the queue has run
// empty), hands the focus to the list, and Esc still closes the window. Keys go to the window under the
// pointer, as there is no window manager to give it the focus.
TEST(MainDialogTest, EnterStartsAndEscClosesWhereverTheFocusWas) {
  MainDialog dialog;
  dialog.batch_timer().Stop();
  wxWindow* list = Find(&dialog, res::kIdQueueList);
  const auto press = [&](int key) {
    wxUIActionSimulator keyboard;
    keyboard.MouseMove(list->GetScreenRect().GetPosition() + wxPoint(20, 20));
    keyboard.Char(key);
  };
  const auto running = [&] { return dialog.running(); };
  Drop(&dialog, {"/in/a.jpg"});
  Tick(dialog);
  EXPECT_EQ(RunModal(&dialog, running, [&] { press(WXK_RETURN); }), kStillOpen);
  wxWindow* start = Find(&dialog, res::kIdOk);
  const auto never = [] { return false; };
  const int code = RunModal(&dialog, never, [&] {
    start->SetFocus();
    wxYield();
    Click(&dialog, res::kIdClear);
    Tick(dialog);
    EXPECT_FALSE(start->IsEnabled());
    EXPECT_EQ(wxWindow::FindFocus(), list);
    press(WXK_ESCAPE);
  });
  EXPECT_EQ(code, wxID_CANCEL);
  EXPECT_FALSE(dialog.batch_timer().IsRunning()) << "no tick once the window has closed";
}

// The window runs in the toolkit's own loop with its own timer. Each photo takes longer than the timer's
// interval, as a big one does; a click that comes meanwhile is served before the next tick.
TEST(MainDialogTest, TicksWorkThroughTheListAndClicksDuringAPhotoActBeforeTheNext) {
  const struct {
    int button;  // clicked during the first photo; 0 for none
    int code;
    Strings done, left;
  } cases[] = {
      {0, kStillOpen, {"a.jpg", "b.jpg"}, {}},
      {res::kIdOk, kStillOpen, {"a.jpg"}, {"/in/b.jpg"}},
      {res::kIdClear, kStillOpen, {"a.jpg"}, {}},
      {res::kIdCancel, wxID_CANCEL, {"a.jpg"}, {"/in/b.jpg"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.button);
    testing_support::RecordingShell shell;
    Strings done;
    MainDialog* window = nullptr;
    MainDialog dialog([&](int max_edge, const fs::path& source, const fs::path& destination) {
      EXPECT_EQ(max_edge, 100);
      EXPECT_EQ(source, "/in" / destination.filename());
      EXPECT_TRUE(fs::is_directory(destination.parent_path()));
      done.push_back(destination.filename().u8string());
      if (done.size() == 1 && c.button != 0) Click(window, c.button, true);
      wxMilliSleep(150);
      return imaging::Result{};
    });
    window = &dialog;
    const std::string own = dialog.destination_folder().utf8_string();
    fs::remove_all(fs::u8path(own));  // the program's own folder is made again when it has vanished
    Find<wxChoice>(&dialog, res::kIdSizeChoice)->SetSelection(9);  // "100 Thumbnail"
    Drop(&dialog, {"/in/b.jpg", "/in/a.jpg"});
    Click(&dialog, res::kIdOk);
    int ticks = 0;
    dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& tick) {
      tick.Skip();
      ++ticks;
    });
    EXPECT_EQ(RunModal(&dialog, [&] { return ticks >= 3; }), c.code);
    EXPECT_EQ(done, c.done);
    EXPECT_EQ(Listed(&dialog), c.left);
    EXPECT_EQ(shell.requests, c.button == 0 ? Strings{own} : Strings{}) << "opened at the end";
    EXPECT_EQ(Find(&dialog, res::kIdOk)->IsEnabled(), !c.left.empty());
  }
}

TEST(MainDialogTest, EachButtonHandsItsTargetToTheShellAsItIs) {
  testing_support::RecordingShell shell;
  MainDialog dialog;
  const wxString before = dialog.destination_folder();
  testing_support::TempDir temp;
  fs::create_directory(temp / "Tom & Jerry's");
  wxString answer;  // "Change" cancelled: the destination stays
  dialog.set_folder_dialog(
      [&](wxWindow*, const wxString& initial) { return initial == before ? answer : wxString(); });
  Click(&dialog, res::kIdChange);
  EXPECT_EQ(dialog.destination_folder(), before);
  answer = wxString::FromUTF8((temp / "Tom & Jerry's").u8string());
  for (int id : {res::kIdChange, res::kIdOpen, res::kIdMyImages, res::kIdFacebook, res::kIdLikeIt}) {
    Click(&dialog, id);
  }
  AboutDialog about(&dialog);
  EXPECT_EQ(RunModal(&about, nullptr, [&] { Click(&about, res::kIdWebAddress); }), kStillOpen);
  EXPECT_NE(dialog.picture_folder(), "");
  EXPECT_EQ(shell.requests, (Strings{answer.utf8_string(), dialog.picture_folder().utf8_string(),
                                     res::kFacebookHomePage, res::kMakerFacebookPage, res::kMakerWebSite}));
}

// Records the menus that the window would pop up, instead of showing them.
struct PopupRecordingDialog : MainDialog {
  bool DoPopupMenu(wxMenu* menu, int, int) override {
    for (const wxMenuItem* item : menu->GetMenuItems()) items.push_back(item->GetId());
    return true;
  }
  std::vector<int> items;
};

// Where the system menu takes no entry of the program's own (GTK), a right click anywhere offers it.
TEST(MainDialogTest, TheAboutEntryOpensTheAboutBoxOverTheWindow) {
  wxDialog probe(nullptr, wxID_ANY, "probe");
  const bool in_system_menu = AddToSystemMenu(&probe, wxID_HIGHEST, "probe");
  PopupRecordingDialog dialog;
  wxContextMenuEvent right_click(wxEVT_CONTEXT_MENU, res::kIdQueueList);
  Find(&dialog, res::kIdQueueList)->ProcessWindowEvent(right_click);
  EXPECT_EQ(dialog.items, in_system_menu ? std::vector<int>{} : std::vector<int>{res::kAboutCommand});
  testing_support::ExpectModalDialog expect([&](wxDialog* box) {
    EXPECT_TRUE(dynamic_cast<AboutDialog*>(box) != nullptr && box->GetParent() == &dialog);
    return wxID_OK;
  });
  wxCommandEvent choose(wxEVT_MENU, res::kAboutCommand);
  dialog.ProcessWindowEvent(choose);
}

}  // namespace
}  // namespace app

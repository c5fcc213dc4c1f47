// The main window on a real display: drops on any control, the keys wherever the focus is, the ticks
// wired to the list and clicks that come while a photo is in hand, what each button hands the shell, and
// the folder that "Change" takes.
#include "app/main_dialog.h"

#include <wx/app.h>
#include <wx/choice.h>
#include <wx/dnd.h>
#include <wx/filefn.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/statbmp.h>
#include <wx/uiaction.h>

#include <gmock/gmock.h>

#include <chrono>
#include <memory>

#include "app/about_dialog.h"
#include "app/dialog_builder.h"
#include "app/system_menu.h"
#include "app/toolkit_services.h"
#include "batch/size_table.h"
#include "res/web_addresses.h"
#include "tests/app/gui_test.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;
using testing_support::kStillOpen;
using testing_support::RunModal;

wxWindow* Find(wxWindow* dialog, int id) { return dialog->FindWindow(WindowIdFor(id)); }

// A click on the button `id`, handled at once or queued as one that comes while the window is busy.
void Click(wxWindow* dialog, int id, bool queued = false) {
  wxWindow* button = Find(dialog, id);
  auto click = std::make_unique<wxCommandEvent>(wxEVT_BUTTON, button->GetId());
  click->SetEventObject(button);
  queued ? wxQueueEvent(button, click.release()) : (void)button->ProcessWindowEvent(*click);
}

// A drop of the files `paths` (separated by "|") on `target`, handed over as the toolkit does (on GTK through
// the window's drop target).
void Drop(wxWindow* target, const std::string& paths) {
  wxArrayString files = wxSplit(wxString::FromUTF8(paths), '|');
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
  for (const wxString& entry : static_cast<wxListBox*>(Find(dialog, res::kIdQueueList))->GetStrings())
    listed.push_back(entry.utf8_string());
  return listed;
}

// A new window. Drops on any control and photos named on the command line (relative names from the current
// folder) join the queue, as "Add Images" does. The size list starts at 960, and each entry's label begins
// with the maximum edge the step is given for it. The banner spans the window at the screen's density. After
// a move to a monitor of another density every control takes its place again (here the same density, after
// the controls were moved away).
TEST(MainDialogTest, ANewWindowTakesDropsListsTheSizesAndKeepsItsLayoutAtTheScreensDensity) {
  MainDialog dialog;
  // Every name lies in the current folder, so that the list's order does not depend on where the suite runs.
  const std::string in = (fs::current_path() / "").u8string(), dropped = in + "dropped/",
                    other_scripts = "Zo\xC3\xAB \xE5\x86\x99\xE7\x9C\x9F";
  int name = 100;
  Strings expected{in + "a.jpg"};
  for (wxWindow* target : dialog.GetChildren()) {
    expected.push_back(dropped + std::to_string(name++) + ".jpg");
    Drop(target, expected.back());
  }
  // "Add Images" takes whatever the user chose; what a drop or a command line passes over is the program
  // test's (run_program_test.sh).
  Drop(&dialog, dropped + "B.JPEG");
  dialog.set_image_dialog([&](wxWindow*) { return wxSplit(wxString::FromUTF8(dropped + "c.png"), ','); });
  Click(&dialog, res::kIdAddImages);
  dialog.AddDroppedFiles(
      wxSplit(wxString::FromUTF8("a.jpg|./a.jpg|" + other_scripts + ".JPEG|" + in + "a.jpg"), '|'));
  expected.insert(expected.end(), {dropped + "B.JPEG", dropped + "c.png", in + other_scripts + ".JPEG"});
  EXPECT_EQ(Listed(&dialog), expected) << "the queue";
  EXPECT_EQ(Find(&dialog, res::kIdCount)->GetLabel(),
            wxString::Format("TOTAL: %d", static_cast<int>(expected.size())));
  auto* sizes = static_cast<wxChoice*>(Find(&dialog, res::kIdSizeChoice));
  EXPECT_EQ(wxAtoi(sizes->GetStringSelection()), 960) << "selected at start-up";
  std::vector<int> edges;
  for (const wxString& label : sizes->GetStrings()) edges.push_back(wxAtoi(label));
  EXPECT_THAT(edges, testing::ElementsAreArray(batch::kSizeTable)) << "the edges the labels begin with";
  const auto place = [](wxWindow* control) {
    const wxRect rect = control->GetRect();
    return wxString::Format("%d,%d %dx%d", rect.x, rect.y, rect.width, rect.height).utf8_string();
  };
  std::vector<std::string> built;
  for (wxWindow* child : dialog.GetChildren()) {
    built.push_back(place(child));
    if (dynamic_cast<wxStaticBitmap*>(child) != nullptr && child->GetPosition() == wxPoint(0, 0)) {
      EXPECT_EQ(child->GetSize().x, dialog.GetClientSize().x) << "the banner";
    }
    child->SetSize(1, 1, 5, 5);
  }
  wxDPIChangedEvent moved(dialog.GetDPI(), dialog.GetDPI());
  dialog.ProcessWindowEvent(moved);
  for (std::size_t i = 0; i < built.size(); ++i)
    EXPECT_EQ(place(dialog.GetChildren()[i]), built[i]) << "control " << i + 1 << " of the template";
}

// Enter presses Start wherever the focus is, but a focused button takes it itself; a photo that cannot be
// opened gets the toolkit's box, the photo and the reason beneath its message, and leaves the list even
// when a drop put another in front of it meanwhile; the wait cursor shows for the photo only; Start,
// disabled while it has the focus (the queue has run empty), hands the focus to the list, and Esc still
// closes the window. Keys go to the window under the pointer, as there is no window manager to give it the
// focus.
TEST(MainDialogTest, EnterStartsAndEscClosesWhereverTheFocusWas) {
  MainDialog dialog;
  dialog.batch_timer().Stop();
  wxWindow* list = Find(&dialog, res::kIdQueueList);
  const auto press = [&](int key) {
    wxUIActionSimulator keyboard;
    keyboard.MouseMove(list->GetScreenRect().GetPosition() + wxPoint(20, 20));
    keyboard.Char(key);
  };
  Drop(&dialog, "/in/gone.jpg|/in/z.jpg");
  dialog.batch_timer().Notify();  // a tick, and then what it posted
  wxTheApp->ProcessPendingEvents();
  const auto never = [] { return false; };
  EXPECT_EQ(RunModal(
                &dialog, [&] { return dialog.running(); }, [&] { press(WXK_RETURN); }),
            kStillOpen);
  {
    ToolkitServices services;
    testing_support::ExpectModalDialog box([&](wxDialog* shown) {
      auto* message = dynamic_cast<wxMessageDialog*>(shown);
      EXPECT_TRUE(message != nullptr && message->GetParent() == nullptr && message->GetTitle() == "Error" &&
                  message->GetMessageDialogStyle() == (wxOK | wxICON_ERROR));
      EXPECT_EQ(message ? message->GetMessage() + "|" + message->GetExtendedMessage() : "",
                "Error reading JPEG file|/in/gone.jpg\nNo such file or directory");
      EXPECT_TRUE(wxIsBusy()) << "the wait cursor while the photo is in hand";
      Drop(&dialog, "/in/a.jpg");  // a photo that sorts first, while the box shows
      return wxID_OK;
    });
    dialog.batch_timer().Notify();
    wxTheApp->ProcessPendingEvents();  // outside a modal loop the tick arms no timer
    EXPECT_FALSE(wxIsBusy()) << "the wait cursor outlived the tick";
  }
  EXPECT_EQ(Listed(&dialog), (Strings{"/in/a.jpg", "/in/z.jpg"})) << "the photo that failed leaves";
  const int on_exit = RunModal(&dialog, never, [&] {
    Find(&dialog, res::kIdCancel)->SetFocus();
    press(WXK_RETURN);
  });
  EXPECT_EQ(on_exit, wxID_CANCEL) << "a focused button takes Enter itself";
  wxWindow* start = Find(&dialog, res::kIdOk);
  const int code = RunModal(&dialog, never, [&] {
    start->SetFocus();
    wxYield();
    Click(&dialog, res::kIdClear);
    dialog.batch_timer().Notify();
    wxTheApp->ProcessPendingEvents();
    EXPECT_FALSE(start->IsEnabled());
    EXPECT_EQ(wxWindow::FindFocus(), list);
    press(WXK_ESCAPE);
  });
  EXPECT_EQ(code, wxID_CANCEL);
  EXPECT_FALSE(dialog.batch_timer().IsRunning()) << "no tick once the window has closed";
}

// The window runs in the toolkit's own loop with its own timer, for four ticks. A click that comes while a
// photo is in hand is served before the next tick. The next tick falls due an interval after the last one
// started: after a photo that takes longer than the interval, as a big one does, the timer is armed for
// the least it takes (1 ms), and quicker photos keep one tick per interval. Read from the interval armed and
// from the ticks' start times, which a busy machine can only make later, never earlier.
TEST(MainDialogTest, TicksWorkThroughTheListAtTheirPaceAndClicksDuringAPhotoActBeforeTheNext) {
  using Clock = std::chrono::steady_clock;
  const struct {
    const char* name;
    int button, photo_ms, code;  // the button clicked during the second photo (0: none); how the loop ends
    Strings done;
    Strings left;
  } cases[] = {
      {"long photos, no click", 0, 150, kStillOpen, {"a.jpg", "b.jpg", "c.jpg"}, {}},
      {"quick photos, no click", 0, 20, kStillOpen, {"a.jpg", "b.jpg", "c.jpg"}, {}},
      {"Stop", res::kIdOk, 150, kStillOpen, {"a.jpg", "b.jpg"}, {"/in/c.jpg"}},
      {"Clear", res::kIdClear, 150, kStillOpen, {"a.jpg", "b.jpg"}, {}},
      {"Exit", res::kIdCancel, 150, wxID_CANCEL, {"a.jpg", "b.jpg"}, {"/in/c.jpg"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing_support::RecordingShell shell;
    Strings done;
    MainDialog dialog([&](int max_edge, const fs::path& source, const fs::path& destination) {
      EXPECT_TRUE(max_edge == 100 && source == "/in" / destination.filename() &&
                  fs::is_directory(destination.parent_path()));
      done.push_back(destination.filename().u8string());
      if (done.size() == 2 && c.button != 0) Click(&dialog, c.button, true);
      wxMilliSleep(c.photo_ms);
      return imaging::Result{};
    });
    const std::string own = dialog.destination_folder().utf8_string();
    // The program's own folder, in a temporary folder named in other scripts, is made again when it vanished.
    fs::remove_all(fs::u8path(own));
    static_cast<wxChoice*>(Find(&dialog, res::kIdSizeChoice))->SetSelection(9);  // "100 Thumbnail"
    Drop(&dialog, "/in/c.jpg|/in/b.jpg|/in/a.jpg");
    Click(&dialog, res::kIdOk);
    struct Tick {
      Clock::time_point start;
      int armed_ms;  // the interval the timer was armed with after the tick before
      std::size_t photos_before;
    };
    std::vector<Tick> ticks;
    dialog.Bind(wxEVT_TIMER, [&](wxTimerEvent& tick) {
      tick.Skip();
      ticks.push_back({Clock::now(), dialog.batch_timer().GetInterval(), done.size()});
    });
    EXPECT_EQ(RunModal(&dialog, [&] { return ticks.size() >= 4; }), c.code);
    EXPECT_EQ(done, c.done);
    EXPECT_EQ(Listed(&dialog), c.left);
    EXPECT_EQ(shell.requests, c.button == 0 ? Strings{own} : Strings{}) << "opened at the end";
    for (std::size_t i = 1; i < ticks.size(); ++i) {
      if (ticks[i].photos_before == ticks[i - 1].photos_before) continue;  // no photo in the tick before
      if (c.photo_ms > 100) {
        EXPECT_EQ(ticks[i].armed_ms, 1) << "tick " << i << " waited after a long photo";
      } else {
        const std::chrono::duration<double, std::milli> gap = ticks[i].start - ticks[i - 1].start;
        EXPECT_GE(gap.count(), 90) << "tick " << i << " came before its interval (ms)";
      }
    }
  }
}

// Chooses the first entry of any menu that the window pops up, as a user would.
struct MenuChoosingDialog : MainDialog {
  bool DoPopupMenu(wxMenu* menu, int, int) override {
    wxCommandEvent choose(wxEVT_MENU, menu->FindItemByPosition(0)->GetId());
    return ProcessWindowEvent(choose);
  }
};

// The About entry is in the system menu where that takes entries of the program's own (Windows, see
// system_menu_win_test.cpp), else a right click anywhere offers it.
TEST(MainDialogTest, EachButtonHandsItsTargetToTheShellAsItIs) {
  testing_support::RecordingShell shell;
  MenuChoosingDialog dialog;
  const wxString before = dialog.destination_folder();
  const fs::path chosen = fs::u8path(before.utf8_string()) / "Tom & Jerry's";
  fs::create_directory(chosen);
  wxString answer;  // "Change" cancelled: the destination stays
  dialog.set_folder_dialog(
      [&](wxWindow*, const wxString& from) { return from == before ? answer : wxString(); });
  Click(&dialog, res::kIdChange);
  EXPECT_EQ(dialog.destination_folder(), before);
  answer = wxString::FromUTF8(chosen.u8string());
  for (int id : {res::kIdChange, res::kIdOpen, res::kIdMyImages, res::kIdFacebook, res::kIdLikeIt})
    Click(&dialog, id);
  testing_support::ExpectModalDialog about([&](wxDialog* box) {
    EXPECT_TRUE(dynamic_cast<AboutDialog*>(box) != nullptr && box->GetParent() == &dialog);
    Click(box, res::kIdWebAddress);
    return wxID_OK;
  });
  wxDialog probe(nullptr, wxID_ANY, "probe");
  wxCommandEvent choose(wxEVT_MENU, res::kAboutCommand);
  wxContextMenuEvent right_click(wxEVT_CONTEXT_MENU, res::kIdQueueList);
  const bool in_system_menu = AddToSystemMenu(&probe, wxID_HIGHEST, "probe");
  Find(&dialog, res::kIdQueueList)
      ->ProcessWindowEvent(in_system_menu ? static_cast<wxEvent&>(choose) : right_click);
  EXPECT_NE(dialog.picture_folder(), "");
  EXPECT_EQ(shell.requests, (Strings{chosen.u8string(), dialog.picture_folder().utf8_string(),
                                     res::kFacebookHomePage, res::kMakerFacebookPage, res::kMakerWebSite}));
}

// "Change" takes a folder exactly as chosen, or not at all: a path that does not fit the room is refused,
// never cut, and with too little room no dialog shows. With no folder given, the dialog starts in the
// current one.
TEST(FolderPickerTest, TheChoiceComesBackExactlyOrNotAtAll) {
  testing_support::TempDir temp;
  const auto folder = [&](std::size_t length) {  // one whose path has `length` characters
    const fs::path path =
        temp / std::string(length - wxString::FromUTF8(temp.path().u8string()).length() - 1, 'd');
    fs::create_directory(path);
    return path.u8string();
  };
  const struct {
    const char* name;
    std::string answer;  // what the dialog gives back
    std::size_t room;    // for the answer and its terminator
    bool picked;
  } cases[] = {
      {"a folder that is gone", (temp / "gone").u8string(), 4096, false},
      {"259 characters in room for 260", folder(259), 260, true},
      {"260 characters in room for 260", folder(260), 260, false},
      {"too little room: no dialog", folder(200), kFolderPickerMinLength - 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    wxString out = "earlier";
    const bool picked = FolderPicker(nullptr, "", &out, c.room, [&](wxWindow*, const wxString& from) {
      return from == wxGetCwd() ? wxString::FromUTF8(c.answer) : wxString("?");
    });
    EXPECT_EQ(picked, c.picked);
    EXPECT_EQ(out.utf8_string(), c.picked ? c.answer : c.room < kFolderPickerMinLength ? "earlier" : "");
  }
}

}  // namespace
}  // namespace app

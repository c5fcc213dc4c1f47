#include "app/main_dialog.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/display.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/about_dialog.h"
#include "app/dialog_font.h"
#include "app/system_menu.h"
#include "tests/app/layout_expectations.h"
#include "tests/app/modal_dialogs.h"
#include "tests/app/user_folders.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

using testing_support::ExpectedControl;
using testing_support::Kind;
using testing_support::kStillOpen;
using testing_support::RunModal;

// The main window's layout table. "Maximum width or height:" is 87 units wide here, not 55, so that it
// takes two lines with the fonts of Linux as it does on Windows.
const std::vector<ExpectedControl> kMainLayout = {
    {1, Kind::kButton, "Start", 399, 201, 87, 41},
    {2, Kind::kButton, "Exit", 330, 201, 50, 14},
    {-1, Kind::kText, "Drag images here to add. Hold Ctrl or Shift to select more images.", 53, 302, 259, 8},
    {1000, Kind::kList, nullptr, 25, 84, 356, 103},
    {3, Kind::kButton, "Add Images", 25, 201, 50, 14},
    {4, Kind::kButton, "Like It", 209, 201, 50, 14},
    {1008, Kind::kText, nullptr, 25, 237, 355, 11},
    {-1, Kind::kGroup, "Drop Area", 25, 281, 356, 47},
    {5, Kind::kButton, "Facebook", 148, 201, 50, 14},
    {6, Kind::kButton, "Change", 269, 257, 50, 14},
    {7, Kind::kButton, "My Images", 86, 201, 50, 14},
    {8, Kind::kButton, "Open", 330, 257, 50, 14},
    {-1, Kind::kPicture, nullptr, 408, 264, 73, 68},
    {-1, Kind::kText, "Destination Folder:", 25, 224, 87, 11},
    {-1, Kind::kPicture, nullptr, 0, 0, 505, 70},
    {1009, Kind::kDropDown, nullptr, 399, 175, 87, 45},
    {-1, Kind::kText, "Maximum width or height:", 399, 152, 87, 19},
    {-1, Kind::kText,
     "1. Click \"Add images\" or drag && drop image files\n2. Select maximum width or height of images.\n"
     "3. Click Start to downsample images.",
     398, 84, 91, 57},
    {-1, Kind::kText,
     "Pixmeld downsizes images before uploading them to facebook to they upload up to 16 times faster.", 25,
     339, 462, 11},
    {10, Kind::kButton, "Clear", 269, 201, 50, 14},
    {1010, Kind::kText, "TOTAL: 0", 323, 225, 56, 10},
};

const std::vector<std::string> kSizeEntries = {
    "24",   "30",           "32 Icon",       "48",       "50",   "60",        "64",
    "75",   "80",           "100 Thumbnail", "120",      "150",  "180",       "200",
    "240",  "250",          "300",           "320 QVGA", "360",  "400",       "480 HVGA",
    "500",  "600",          "640 VGA",       "700",      "720",  "768",       "800 SVGA",
    "900",  "960 Facebook", "1000",          "1024 XGA", "1200", "1280 SXGA", "1366 HD TV",
    "1400", "1600",         "1920 Full HD",  "2000",
};

// The program's folders come from a fresh temporary directory, and the user names no picture folder.
class MainDialogTest : public testing::Test {
 protected:
  template <typename Control>
  static Control* Get(wxWindow* dialog, int id) {
    return dynamic_cast<Control*>(dialog->FindWindow(id));
  }

  // Presses `key` on the display, with the pointer over the queue list, and waits until the dialog has
  // seen it.
  static void PressKey(wxDialog* dialog, int key) {
    int seen = 0;
    const auto spy = [&](wxKeyEvent& event) {
      seen += event.GetKeyCode() == key;
      event.Skip();
    };
    dialog->Bind(wxEVT_CHAR_HOOK, spy);
    wxUIActionSimulator simulator;
    simulator.MouseMove(dialog->FindWindow(1000)->GetScreenRect().GetPosition() + wxPoint(20, 20));
    simulator.Char(key);
    for (int i = 0; i < 200 && seen == 0; ++i) {
      wxYield();
      wxMilliSleep(10);
    }
    dialog->Unbind(wxEVT_CHAR_HOOK, spy);
    EXPECT_EQ(seen, 1) << "the key did not reach the window once";
  }

  static void Click(wxWindow* button) {
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
  }

  testing_support::TempDir temp_;
  testing_support::UserFolders folders_{temp_.path()};
};

TEST_F(MainDialogTest, FollowsTheLayoutTable) {
  MainDialog dialog;
  testing_support::ExpectControls(&dialog, kMainLayout);
  EXPECT_EQ(dialog.GetTitle(), "Pixmeld");
  EXPECT_EQ(dialog.GetClientSize(), wxSize(758, 592));
  EXPECT_EQ(dialog.GetMinSize(), dialog.GetSize());
  EXPECT_EQ(dialog.GetMaxSize(), dialog.GetSize());
  EXPECT_FALSE(dialog.HasFlag(wxRESIZE_BORDER) || dialog.HasFlag(wxMAXIMIZE_BOX));
  EXPECT_TRUE(dialog.HasFlag(wxMINIMIZE_BOX) && dialog.HasFlag(wxCLOSE_BOX));
  EXPECT_EQ(dialog.GetParent(), nullptr) << "a window of its own, with its own taskbar entry";
  const wxRect screen = wxDisplay(0u).GetClientArea();
  const wxPoint centre = dialog.GetPosition() + dialog.GetSize() / 2;
  EXPECT_NEAR(centre.x, screen.x + screen.width / 2, 1);
  EXPECT_NEAR(centre.y, screen.y + screen.height / 2, 1);
}

TEST_F(MainDialogTest, StartsIdleWithTheDefaultSize) {
  MainDialog dialog;
  auto* sizes = Get<wxChoice>(&dialog, 1009);
  const wxArrayString entries = sizes->GetStrings();
  EXPECT_EQ(std::vector<std::string>(entries.begin(), entries.end()), kSizeEntries);
  EXPECT_EQ(sizes->GetStringSelection(), "960 Facebook");

  auto* queue = Get<wxListBox>(&dialog, 1000);
  EXPECT_EQ(queue->GetCount(), 0u);
  EXPECT_FALSE(queue->HasFlag(wxLB_SORT)) << "the queue keeps its own order";

  auto* start = Get<wxButton>(&dialog, wxID_OK);
  EXPECT_FALSE(start->IsEnabled());
  EXPECT_EQ(dialog.GetDefaultItem(), start);
  EXPECT_FALSE(dialog.running());
  EXPECT_EQ(Get<wxStaticTextBase>(&dialog, 1010)->GetLabelText(), "TOTAL: 0");

  const wxString shown = static_cast<wxControl*>(dialog.GetChildren()[17])->GetLabelText();
  EXPECT_TRUE(shown.Contains("or drag & drop image files\n")) << shown;
}

TEST_F(MainDialogTest, WhiteEverywhereInTheTemplateFont) {
  MainDialog dialog;
  EXPECT_EQ(dialog.GetBackgroundColour(), *wxWHITE);
  for (wxWindow* child : dialog.GetChildren()) {
    SCOPED_TRACE(child->GetLabel().utf8_string());
    EXPECT_EQ(child->GetFont().GetPointSize(), 8);
    EXPECT_EQ(child->GetFont().GetFaceName(), DialogTemplateFont().GetFaceName());
    // A drop-down list keeps the theme's face; a group box lets the dialog's white through.
    if (dynamic_cast<wxChoice*>(child) == nullptr && !child->HasTransparentBackground()) {
      EXPECT_EQ(child->GetBackgroundColour(), *wxWHITE);
    }
  }
}

TEST_F(MainDialogTest, NoControlMovesWhenTextsChange) {
  MainDialog dialog;
  const std::vector<wxRect> before = testing_support::ChildRects(&dialog);
  dialog.SetDestinationFolder("/home/somebody/a long name/and/another/level/and/yet/another/level/of/it");
  Get<wxStaticTextBase>(&dialog, 1010)->SetLabel("TOTAL: 1234567");
  Get<wxButton>(&dialog, wxID_OK)->SetLabel("Stop");
  dialog.Show();
  for (int i = 0; i < 5; ++i) wxYield();
  EXPECT_EQ(testing_support::ChildRects(&dialog), before);
}

TEST_F(MainDialogTest, ShowsTheDefaultFolderAndAnyFolderExactly) {
  MainDialog dialog;
  EXPECT_EQ(dialog.destination_folder(), (temp_ / "Pixmeld").string());
  EXPECT_TRUE(std::filesystem::is_directory(temp_ / "Pixmeld"));
  for (const char* folder : {"/tmp/Tom & Jerry", "/a&&b/&", "/photos/Überlingen 2024"}) {
    dialog.SetDestinationFolder(wxString::FromUTF8(folder));
    EXPECT_EQ(dialog.destination_folder().utf8_string(), folder);
    EXPECT_EQ(Get<wxStaticTextBase>(&dialog, 1008)->GetLabelText().utf8_string(), folder);
  }
}

TEST_F(MainDialogTest, ReadsThePictureFolderAtStartUp) {
  EXPECT_EQ(MainDialog().picture_folder(), "") << "no setting: no folder, not the home folder";
  folders_.SetPictureFolder(temp_ / "Fotos & Bilder");
  EXPECT_EQ(MainDialog().picture_folder(), (temp_ / "Fotos & Bilder").string());
}

TEST_F(MainDialogTest, TimerTicksEveryTenthOfASecond) {
  MainDialog dialog;
  wxTimer& timer = dialog.batch_timer();
  EXPECT_TRUE(timer.IsRunning());
  EXPECT_EQ(timer.GetId(), 1000);
  EXPECT_EQ(timer.GetInterval(), 100);
  EXPECT_TRUE(timer.IsOneShot()) << "armed again after each tick";
  timer.Notify();  // an idle tick shows nothing
}

TEST_F(MainDialogTest, EnterAtStartUpLeavesTheWindowOpen) {
  MainDialog dialog;
  EXPECT_EQ(RunModal(&dialog, [&] { PressKey(&dialog, WXK_RETURN); }), kStillOpen);
}

// Enter presses the default button, which toggles and never closes the window.
TEST_F(MainDialogTest, EnterPressesStartOnceEnabled) {
  MainDialog dialog;
  dialog.batch_timer().Stop();  // a tick would find the queue empty and disable Start again
  auto* start = Get<wxButton>(&dialog, wxID_OK);
  start->Enable();
  const int code = RunModal(&dialog, [&] {
    PressKey(&dialog, WXK_RETURN);
    EXPECT_EQ(start->GetLabel(), "Stop");
    EXPECT_TRUE(dialog.running());
    Click(start);
  });
  EXPECT_EQ(code, kStillOpen);
  EXPECT_EQ(start->GetLabel(), "Start");
  EXPECT_FALSE(dialog.running());
}

// At the end of a batch Start is disabled while it has the focus (the user clicked it); the window must
// still take Esc and Enter.
TEST_F(MainDialogTest, EscStillClosesOnceABatchHasDisabledTheFocusedStart) {
  MainDialog dialog;
  dialog.batch_timer().Stop();
  auto* start = Get<wxButton>(&dialog, wxID_OK);
  auto* files = new wxString[1]{"/nowhere/a.jpg"};
  wxDropFilesEvent drop(wxEVT_DROP_FILES, 1, files);
  dialog.ProcessWindowEvent(drop);
  dialog.batch_timer().Notify();
  ASSERT_TRUE(start->IsEnabled());
  const int code = RunModal(&dialog, [&] {
    start->SetFocus();
    wxYield();
    Click(dialog.FindWindow(10));  // Clear
    dialog.batch_timer().Notify();
    EXPECT_FALSE(start->IsEnabled());
    EXPECT_EQ(wxWindow::FindFocus(), dialog.FindWindow(1000));
    PressKey(&dialog, WXK_ESCAPE);
  });
  EXPECT_EQ(code, wxID_CANCEL);
}

TEST_F(MainDialogTest, EscExitAndTheCloseBoxCloseAsCancel) {
  const std::pair<const char*, std::function<void(MainDialog&)>> ways[] = {
      {"Esc", [](MainDialog& dialog) { PressKey(&dialog, WXK_ESCAPE); }},
      {"Exit", [](MainDialog& dialog) { Click(dialog.FindWindow(wxID_CANCEL)); }},
      {"close box", [](MainDialog& dialog) { dialog.Close(); }},
  };
  for (const auto& [name, close] : ways) {
    SCOPED_TRACE(name);
    MainDialog dialog;
    EXPECT_EQ(RunModal(&dialog, [&] { close(dialog); }), wxID_CANCEL);
    EXPECT_FALSE(dialog.batch_timer().IsRunning()) << "no tick once the window has closed";
  }
}

// Records the menus that the window would pop up, instead of showing them.
class PopupRecordingDialog : public MainDialog {
 public:
  std::vector<std::pair<int, std::string>> items;

 protected:
  bool DoPopupMenu(wxMenu* menu, int, int) override {
    for (const wxMenuItem* item : menu->GetMenuItems()) {
      items.emplace_back(item->GetId(), item->GetItemLabel().utf8_string());
    }
    return true;
  }
};

// GTK has no system menu to extend: a right click on the window, or on any control, offers the entry.
// Where the system menu takes it (Windows, system_menu_win_test.cpp), a right click offers nothing.
TEST_F(MainDialogTest, RightClickAnywhereOffersTheAboutEntryUnlessTheSystemMenuHasIt) {
  wxDialog probe(nullptr, wxID_ANY, "probe");
  const bool system_menu_has_it = AddToSystemMenu(&probe, wxID_HIGHEST, "probe");
  PopupRecordingDialog dialog;
  for (wxWindow* target :
       {static_cast<wxWindow*>(&dialog), dialog.FindWindow(1000), dialog.FindWindow(1010)}) {
    wxContextMenuEvent event(wxEVT_CONTEXT_MENU, target->GetId());
    event.SetEventObject(target);
    target->ProcessWindowEvent(event);
  }
  const std::pair<int, std::string> about = {16, "&About Pixmeld..."};
  EXPECT_EQ(dialog.items, (std::vector<std::pair<int, std::string>>(system_menu_has_it ? 0 : 3, about)));
}

TEST_F(MainDialogTest, AboutEntryOpensTheAboutBoxOverTheWindow) {
  MainDialog dialog;
  testing_support::ExpectModalDialog expect([&](wxDialog* box) {
    EXPECT_NE(dynamic_cast<AboutDialog*>(box), nullptr);
    EXPECT_EQ(box->GetParent(), &dialog);
    return wxID_OK;
  });
  wxCommandEvent about(wxEVT_MENU, 16);
  dialog.ProcessWindowEvent(about);
}

}  // namespace
}  // namespace app

#include "app/about_dialog.h"

#include <gtest/gtest.h>

#include <vector>

#include "res/web_addresses.h"
#include "tests/app/layout_expectations.h"
#include "tests/app/modal_dialogs.h"
#include "tests/support/recording_shell.h"

namespace app {
namespace {

using testing_support::Kind;

TEST(AboutDialogTest, FollowsTheLayoutTableCentredOverItsParent) {
  wxDialog parent(nullptr, wxID_ANY, "parent", wxPoint(40, 30), wxSize(600, 500));
  AboutDialog about(&parent);
  testing_support::ExpectControls(&about, {
                                              {-1, Kind::kPicture, nullptr, 11, 17, 21, 20},
                                              {-1, Kind::kText, "Pixmeld 1.0", 40, 10, 119, 8},
                                              {-1, Kind::kText, nullptr, 40, 25, 119, 8},
                                              {1, Kind::kButton, "OK", 178, 7, 50, 14},
                                              {1011, Kind::kButton, res::kMakerWebSite, 39, 46, 113, 14},
                                          });
  EXPECT_EQ(about.GetTitle(), "About shrinkpad");
  EXPECT_EQ(about.GetClientSize(), wxSize(353, 128));
  EXPECT_FALSE(about.HasFlag(wxRESIZE_BORDER) || about.HasFlag(wxMAXIMIZE_BOX) ||
               about.HasFlag(wxMINIMIZE_BOX));
  EXPECT_EQ(about.GetDefaultItem(), about.FindWindow(wxID_OK));
  EXPECT_TRUE(about.GetChildren()[2]->GetLabel().StartsWith("Copyright (C) "));

  const wxPoint centre = about.GetPosition() + about.GetSize() / 2;
  const wxPoint parent_centre = parent.GetPosition() + parent.GetSize() / 2;
  EXPECT_NEAR(centre.x, parent_centre.x, 1);
  EXPECT_NEAR(centre.y, parent_centre.y, 1);
}

// The button shows the address it opens; the box stays open.
TEST(AboutDialogTest, WebAddressButtonAsksTheShellForTheMakersSite) {
  testing_support::RecordingShell shell;
  wxDialog parent(nullptr, wxID_ANY, "parent");
  AboutDialog about(&parent);
  const int code = testing_support::RunModal(&about, [&] {
    wxWindow* button = about.FindWindow(1011);
    wxCommandEvent click(wxEVT_BUTTON, 1011);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
  });
  EXPECT_EQ(code, testing_support::kStillOpen);
  EXPECT_EQ(shell.requests(), std::vector<std::string>{res::kMakerWebSite});
}

}  // namespace
}  // namespace app

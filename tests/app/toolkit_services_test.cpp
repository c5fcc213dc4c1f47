#include "app/toolkit_services.h"

#include <gtest/gtest.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <thread>

#include "platform/error_box.h"
#include "platform/wait_cursor.h"
#include "tests/app/modal_dialogs.h"

namespace app {
namespace {

TEST(ToolkitServicesTest, ErrorBoxIsAnOwnerlessModalMessageBox) {
  ToolkitServices services;
  testing_support::ExpectModalDialog expect([](wxDialog* dialog) {
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    EXPECT_NE(box, nullptr);
    if (box == nullptr) return wxID_OK;
    EXPECT_EQ(box->GetMessage(), "Error reading JPEG file");
    EXPECT_EQ(box->GetCaption(), "Error");
    EXPECT_EQ(box->GetMessageDialogStyle() & (wxOK | wxCANCEL | wxYES_NO | wxICON_MASK), wxOK | wxICON_ERROR);
    EXPECT_EQ(box->GetParent(), nullptr);
    return wxID_OK;
  });
  platform::ShowErrorBox("Error reading JPEG file");
}

TEST(ToolkitServicesTest, ErrorFromAnotherThreadGoesToStandardError) {
  ToolkitServices services;
  testing::internal::CaptureStderr();
  std::thread([] { platform::ShowErrorBox("Error writing JPEG file"); }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Error writing JPEG file\n");
}

TEST(ToolkitServicesTest, WaitCursorIsTheNestingBusyCursorWhileInstalled) {
  {
    ToolkitServices services;
    platform::ScopedWaitCursor outer;
    {
      platform::ScopedWaitCursor inner;
      EXPECT_TRUE(wxIsBusy());
    }
    EXPECT_TRUE(wxIsBusy());
  }
  EXPECT_FALSE(wxIsBusy());
  platform::ScopedWaitCursor without_services;
  EXPECT_FALSE(wxIsBusy());
}

}  // namespace
}  // namespace app

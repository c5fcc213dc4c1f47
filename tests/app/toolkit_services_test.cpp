#include "app/toolkit_services.h"

#include <wx/msgdlg.h>

#include <thread>

#include "tests/app/gui_test.h"

namespace app {
namespace {

TEST(ToolkitServicesTest, ErrorBoxOnTheWindowsThreadStandardErrorOnAnyOther) {
  ToolkitServices services;
  testing_support::ExpectModalDialog expect([](wxDialog* dialog) {
    auto* box = dynamic_cast<wxMessageDialog*>(dialog);
    EXPECT_TRUE(box != nullptr && box->GetParent() == nullptr);
    if (box == nullptr) return wxID_OK;
    EXPECT_EQ(box->GetMessage() + "|" + box->GetCaption(), "Error reading JPEG file|Error");
    EXPECT_EQ(box->GetMessageDialogStyle() & (wxOK | wxCANCEL | wxYES_NO | wxICON_MASK), wxOK | wxICON_ERROR);
    return wxID_OK;
  });
  platform::ShowErrorBox("Error reading JPEG file");
  testing::internal::CaptureStderr();
  std::thread([] { platform::ShowErrorBox("Error writing JPEG file"); }).join();
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Error writing JPEG file\n");
}

}  // namespace
}  // namespace app

#include "app/toolkit_services.h"

#include <wx/msgdlg.h>
#include <wx/thread.h>
#include <wx/utils.h>

#include "platform/standard_error.h"

namespace app {

void ToolkitErrorBox::Show(const std::string& text, const std::string& detail) {
  if (!wxThread::IsMain()) {
    platform::WriteStandardError(platform::StandardErrorText(text, detail));
    return;
  }
  wxMessageDialog box(nullptr, wxString::FromUTF8(text), platform::kErrorCaption, wxOK | wxICON_ERROR);
  if (!detail.empty()) box.SetExtendedMessage(wxString::FromUTF8(detail));
  box.ShowModal();
}

void ToolkitWaitCursor::Begin() { wxBeginBusyCursor(); }

void ToolkitWaitCursor::End() { wxEndBusyCursor(); }

ToolkitServices::ToolkitServices()
    : previous_error_box_(platform::InstallErrorBox(&error_box_)),
      previous_wait_cursor_(platform::InstallWaitCursor(&wait_cursor_)) {}

ToolkitServices::~ToolkitServices() {
  platform::InstallWaitCursor(previous_wait_cursor_);
  platform::InstallErrorBox(previous_error_box_);
}

}  // namespace app

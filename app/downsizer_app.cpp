#include "app/downsizer_app.h"

#include "app/main_dialog.h"
#include "app/toolkit_services.h"

namespace app {

bool DownsizerApp::OnInit() {
  SetAppName(kAppName);
  SetClassName(kAppName);
  return true;
}

int DownsizerApp::OnRun() {
  ToolkitServices services;
  MainDialog dialog;
  wxArrayString photos;
  for (const std::string& photo : photos_) photos.push_back(wxString::FromUTF8(photo));
  dialog.AddDroppedFiles(photos);
  SetTopWindow(&dialog);
  dialog.ShowModal();
  SetTopWindow(nullptr);
  // Nothing is saved: the queue, the size and the folder last only as long as the window.
  return 0;
}

}  // namespace app

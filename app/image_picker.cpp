#include "app/image_picker.h"

#include <wx/filedlg.h>

namespace app {

wxArrayString ShowToolkitImageDialog(wxWindow* owner) {
  const wxString filter =
      wxString::FromUTF8(kImagePickerFilterName) + "|" + wxString::FromUTF8(kImagePickerPattern);
  wxFileDialog dialog(owner, wxString::FromUTF8(kImagePickerTitle), wxEmptyString, wxEmptyString, filter,
                      wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
  dialog.CentreOnScreen();
  wxArrayString paths;
  if (dialog.ShowModal() == wxID_OK) dialog.GetPaths(paths);
  return paths;
}

}  // namespace app

#include "app/folder_picker.h"

#include <wx/dirdlg.h>
#include <wx/filefn.h>

#include <filesystem>
#include <system_error>

#include "platform/file.h"

namespace app {

// GTK's chooser offers only existing folders with this style and greys out places that are no folder on
// disk. Windows' folder dialog of the toolkit takes only file-system folders.
wxString ShowToolkitFolderDialog(wxWindow* owner, const wxString& initial) {
  wxDirDialog dialog(owner, wxASCII_STR(wxDirSelectorPromptStr), initial,
                     wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return wxString();
  return dialog.GetPath();
}

bool FolderPicker(wxWindow* owner, const wxString& initial, wxString* out, std::size_t out_length,
                  const FolderDialog& dialog) {
  if (out == nullptr || out_length < kFolderPickerMinLength) return false;
  out->clear();
  const wxString chosen = dialog(owner, initial.empty() ? wxGetCwd() : initial);
  if (chosen.empty() || chosen.length() > out_length - 1) return false;
  // The dialog offers existing folders only, but one may vanish while it is open.
  std::error_code error;
  if (!std::filesystem::is_directory(platform::PathFromUtf8(chosen.utf8_string()), error)) return false;
  *out = chosen;
  return true;
}

}  // namespace app

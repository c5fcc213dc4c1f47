// FolderPicker: the user chooses a folder in a modal folder dialog, for the destination of the photos.
// The dialog is a parameter, so that tests can answer it in place of a user. GUI thread only.
#ifndef PIXMELD_APP_FOLDER_PICKER_H_
#define PIXMELD_APP_FOLDER_PICKER_H_

#include <wx/string.h>

#include <cstddef>
#include <functional>

class wxWindow;

namespace app {

// The least room FolderPicker takes for its answer, in characters and with room for a terminator, as
// Windows' MAX_PATH.
inline constexpr std::size_t kFolderPickerMinLength = 260;

// Shows a modal folder dialog over `owner` that starts in the folder `initial` and returns the folder the
// user chose, or an empty text when the user cancels.
using FolderDialog = std::function<wxString(wxWindow* owner, const wxString& initial)>;

// The toolkit's folder dialog (GTK's chooser on Linux), which offers existing folders only.
wxString ShowToolkitFolderDialog(wxWindow* owner, const wxString& initial);

// Runs `dialog` over `owner`, starting in `initial`, or in the current directory when `initial` is empty,
// and on success puts the chosen folder into `*out`. Returns false, and shows no dialog, when `out` is
// missing or `out_length` is below kFolderPickerMinLength. Otherwise `*out` is emptied first, and the
// result is false when the user cancels, when the choice is not an existing folder, or when it has more
// than `out_length` - 1 characters: a path that does not fit is refused, never cut.
bool FolderPicker(wxWindow* owner, const wxString& initial, wxString* out, std::size_t out_length,
                  const FolderDialog& dialog = ShowToolkitFolderDialog);

}  // namespace app

#endif  // PIXMELD_APP_FOLDER_PICKER_H_

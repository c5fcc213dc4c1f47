// ImagePicker: the user chooses photos in the "Import Images" dialog, to add them to the queue. The dialog
// is a parameter, so that tests can answer it in place of a user. GUI thread only.
#ifndef PIXMELD_APP_IMAGE_PICKER_H_
#define PIXMELD_APP_IMAGE_PICKER_H_

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>

class wxWindow;

namespace app {

inline constexpr char kImagePickerTitle[] = "Import Images";
inline constexpr char kImagePickerFilterName[] = "JPEG Images (*.jpg)";

// The pattern of the filter. GTK's patterns are case-sensitive, Windows' are not: on Linux it lists every
// letter case of ".jpg", as the Windows dialog shows them.
#ifdef _WIN32
inline constexpr char kImagePickerPattern[] = "*.jpg";
#else
inline constexpr char kImagePickerPattern[] = "*.[jJ][pP][gG]";
#endif

// Shows a modal open-file dialog over `owner` and returns the full paths of the chosen files; empty when
// the user cancels.
using ImageDialog = std::function<wxArrayString(wxWindow* owner)>;

// The toolkit's open-file dialog: title "Import Images", the filter "JPEG Images (*.jpg)", several files at
// once, existing files only, centred on the screen.
wxArrayString ShowToolkitImageDialog(wxWindow* owner);

}  // namespace app

#endif  // PIXMELD_APP_IMAGE_PICKER_H_

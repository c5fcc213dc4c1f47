// The About entry of the main window. Where the window's system menu can take entries of the program's
// own (Windows), the entry goes at its top, followed by a separator. GUI thread only.
#ifndef PIXMELD_APP_SYSTEM_MENU_H_
#define PIXMELD_APP_SYSTEM_MENU_H_

#include <wx/string.h>
#include <wx/toplevel.h>

namespace app {

// Puts an entry `text` with command `id` at position 0 of the system menu of `window`, followed by a
// separator; choosing it sends a menu event with `id` to `window`. False, and nothing changed, where the
// system menu cannot take entries.
bool AddToSystemMenu(wxTopLevelWindow* window, int id, const wxString& text);

}  // namespace app

#endif  // PIXMELD_APP_SYSTEM_MENU_H_

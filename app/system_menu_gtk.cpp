// GTK: the title bar belongs to the window manager and offers no menu of the program's own.
#include "app/system_menu.h"

namespace app {

bool AddToSystemMenu(wxTopLevelWindow*, int, const wxString&) { return false; }

}  // namespace app

#include "app/system_menu.h"

#include <wx/menu.h>

namespace app {

bool AddToSystemMenu(wxTopLevelWindow* window, int id, const wxString& text) {
#ifdef __WXMSW__
  wxMenu* menu = window->MSWGetSystemMenu();
  if (menu == nullptr) return false;
  menu->InsertSeparator(0);
  menu->Insert(0, id, text);
  return true;
#else
  // GTK's title bar belongs to the window manager and offers no menu of the program's own.
  (void)window;
  (void)id;
  (void)text;
  return false;
#endif
}

}  // namespace app

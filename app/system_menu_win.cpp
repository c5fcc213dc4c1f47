// Windows: the system menu is the window's own and takes entries of the program's.
#include <wx/menu.h>

#include "app/system_menu.h"

namespace app {

bool AddToSystemMenu(wxTopLevelWindow* window, int id, const wxString& text) {
  wxMenu* menu = window->MSWGetSystemMenu();
  if (menu == nullptr) return false;
  menu->InsertSeparator(0);
  menu->Insert(0, id, text);
  return true;
}

}  // namespace app

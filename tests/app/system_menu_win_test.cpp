// Windows: the About entry heads the window's own system menu, where GTK offers it on a right click.
#include <windows.h>

#include "app/about_dialog.h"
#include "app/main_dialog.h"
#include "res/templates.h"
#include "tests/app/gui_test.h"

namespace app {
namespace {

// The system keeps the low four bits of a system command for itself; the entry answers whatever they are.
TEST(SystemMenuTest, TheAboutEntryAndASeparatorComeFirstAndOpenTheAboutBox) {
  MainDialog dialog;
  const HMENU menu = GetSystemMenu(dialog.GetHWND(), FALSE);
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(res::kAboutCommand));
  EXPECT_NE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  for (WPARAM command : {res::kAboutCommand, res::kAboutCommand + 3}) {
    testing_support::ExpectModalDialog expect([&](wxDialog* box) {
      EXPECT_TRUE(dynamic_cast<AboutDialog*>(box) != nullptr && box->GetParent() == &dialog);
      return wxID_OK;
    });
    SendMessageW(dialog.GetHWND(), WM_SYSCOMMAND, command, 0);
  }
}

}  // namespace
}  // namespace app

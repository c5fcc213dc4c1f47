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
  wchar_t text[100] = {};
  GetMenuStringW(menu, 0, text, 100, MF_BYPOSITION);
  EXPECT_EQ(std::to_wstring(GetMenuItemID(menu, 0)) + L" " + text,
            std::to_wstring(res::kAboutCommand) + L" &About Pixmeld...");
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

// Windows: the About entry heads the window's own system menu, where GTK offers it on a right click.
#include <windows.h>

#include <gtest/gtest.h>
#include <wx/menu.h>

#include <string>

#include "app/about_dialog.h"
#include "app/main_dialog.h"
#include "tests/app/modal_dialogs.h"
#include "tests/app/user_folders.h"
#include "tests/support/temp_dir.h"

namespace app {
namespace {

std::wstring MenuText(HMENU menu, int position) {
  wchar_t text[100] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 100, MF_BYPOSITION);
  return text;
}

TEST(SystemMenuTest, AboutEntryAndASeparatorComeFirstAndTheStandardItemsFollow) {
  testing_support::TempDir temp;
  testing_support::UserFolders folders(temp.path());
  MainDialog dialog;
  const HMENU menu = GetSystemMenu(dialog.GetHWND(), FALSE);
  ASSERT_NE(menu, nullptr);
  ASSERT_GE(GetMenuItemCount(menu), 3);
  EXPECT_EQ(GetMenuItemID(menu, 0), 0x0010u);
  EXPECT_EQ(MenuText(menu, 0), L"&About Pixmeld...");
  EXPECT_NE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  bool has_close = false;
  for (int i = 2; i < GetMenuItemCount(menu); ++i) has_close |= GetMenuItemID(menu, i) == SC_CLOSE;
  EXPECT_TRUE(has_close) << "the standard items stay";
}

// The system keeps the low four bits of a system command for itself; the entry answers whatever they are.
TEST(SystemMenuTest, ChoosingTheEntryOpensTheAboutBoxOverTheWindow) {
  testing_support::TempDir temp;
  testing_support::UserFolders folders(temp.path());
  MainDialog dialog;
  for (WPARAM command : {0x0010, 0x0013}) {
    testing_support::ExpectModalDialog expect([&](wxDialog* box) {
      EXPECT_NE(dynamic_cast<AboutDialog*>(box), nullptr);
      EXPECT_EQ(box->GetParent(), &dialog);
      return wxID_OK;
    });
    SendMessageW(dialog.GetHWND(), WM_SYSCOMMAND, command, 0);
  }
}

}  // namespace
}  // namespace app

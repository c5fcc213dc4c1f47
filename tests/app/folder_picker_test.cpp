#include "app/folder_picker.h"

#include <gtest/gtest.h>
#include <wx/filefn.h>

#include <fstream>

#include "tests/support/temp_dir.h"

namespace app {
namespace {

// A folder comes back exactly as chosen, or not at all: a path that does not fit the room is refused,
// never cut, and with too little room no dialog shows.
TEST(FolderPickerTest, TheChoiceComesBackExactlyOrNotAtAll) {
  testing_support::TempDir temp;
  std::ofstream(temp / "photo.jpg") << "not a folder";
  const auto folder = [&](std::size_t length) {  // one whose path has `length` characters
    const std::string name(length - temp.path().u8string().size() - 1, 'd');
    std::filesystem::create_directory(temp / name);
    return (temp / name).u8string();
  };
  const struct {
    std::string answer;
    std::size_t room;
    bool asked, picked;
  } cases[] = {
      {"", 4096, true, false},  // cancelled
      {(temp / "gone").u8string(), 4096, true, false},
      {(temp / "photo.jpg").u8string(), 4096, true, false},
      {folder(259), 260, true, true},
      {folder(260), 260, true, false},
      {folder(260), 261, true, true},
      {folder(200), kFolderPickerMinLength - 1, false, false},
  };
  for (const auto& c : cases) {
    bool asked = false;
    wxString out = "earlier";
    const auto dialog = [&](wxWindow*, const wxString& initial) {
      asked = true;
      EXPECT_EQ(initial, wxGetCwd()) << "no folder given: the current one";
      return wxString::FromUTF8(c.answer);
    };
    EXPECT_EQ(FolderPicker(nullptr, "", &out, c.room, dialog), c.picked) << c.answer;
    EXPECT_EQ(asked, c.asked);
    EXPECT_EQ(out.utf8_string(), c.picked ? c.answer : c.asked ? "" : "earlier");
  }
}

}  // namespace
}  // namespace app

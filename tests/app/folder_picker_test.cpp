#include "app/folder_picker.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/filefn.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace app {
namespace {

namespace fs = std::filesystem;

wxString Text(const fs::path& path) { return wxString::FromUTF8(path.u8string()); }

// A folder dialog that answers `answer` and remembers how it was asked.
class AnsweringDialog {
 public:
  explicit AnsweringDialog(wxString answer) : answer_(std::move(answer)) {}

  FolderDialog dialog() {
    return [this](wxWindow* owner, const wxString& initial) {
      owners.push_back(owner);
      initials.push_back(initial);
      return answer_;
    };
  }

  std::vector<wxWindow*> owners;
  std::vector<wxString> initials;

 private:
  wxString answer_;
};

class FolderPickerTest : public testing::Test {
 protected:
  // A folder inside the test's folder whose full path has exactly `length` characters, made of names of
  // at most 200 characters.
  fs::path FolderOfLength(std::size_t length) {
    fs::path folder = temp_.path();
    for (std::size_t used = folder.string().size(); used < length;) {
      const std::size_t name = length - used - 1 <= 200 ? length - used - 1 : 100;
      folder /= std::string(name, 'd');
      used += name + 1;
    }
    fs::create_directories(folder);
    EXPECT_EQ(Text(folder).length(), length);
    return folder;
  }

  testing_support::TempDir temp_;
};

TEST_F(FolderPickerTest, MissingOrShortOutputIsRefusedBeforeAnyDialog) {
  AnsweringDialog answer(Text(temp_.path()));
  EXPECT_FALSE(FolderPicker(nullptr, "/", nullptr, 4096, answer.dialog()));
  wxString out = "kept";
  EXPECT_FALSE(FolderPicker(nullptr, "/", &out, kFolderPickerMinLength - 1, answer.dialog()));
  EXPECT_EQ(out, "kept");
  EXPECT_TRUE(answer.owners.empty()) << "a dialog showed although the answer had nowhere to go";

  EXPECT_TRUE(FolderPicker(nullptr, "/", &out, kFolderPickerMinLength, answer.dialog()));
  EXPECT_EQ(out, Text(temp_.path()));
}

// A folder comes back exactly as chosen. Every refusal leaves the output empty; in particular a folder that
// does not fit is never cut, since the cut path would name another folder, or none.
TEST_F(FolderPickerTest, ChoiceComesBackExactlyOrNotAtAll) {
  std::ofstream(temp_ / "photo.jpg") << "not a folder";
  const fs::path named = temp_.MakeOddlyNamedFolder();
  struct Case {
    const char* what;
    wxString answer;
    std::size_t out_length;
    bool picked;
  };
  const Case cases[] = {
      {"cancel", wxString(), 4096, false},
      {"missing folder", Text(temp_ / "gone"), 4096, false},
      {"file", Text(temp_ / "photo.jpg"), 4096, false},
      {"named folder", Text(named), 4096, true},
      {"259 characters in 260", Text(FolderOfLength(259)), 260, true},
      {"260 characters in 260", Text(FolderOfLength(260)), 260, false},
      {"300 characters in 300", Text(FolderOfLength(300)), 300, false},
      {"300 characters in 301", Text(FolderOfLength(300)), 301, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    AnsweringDialog answer(c.answer);
    wxString out = "earlier";
    EXPECT_EQ(FolderPicker(nullptr, "/", &out, c.out_length, answer.dialog()), c.picked);
    EXPECT_EQ(out, c.picked ? c.answer : wxString());
    EXPECT_EQ(answer.owners.size(), 1u);
  }
}

TEST_F(FolderPickerTest, StartsInTheGivenFolderOrElseTheCurrentDirectory) {
  wxDialog owner(nullptr, wxID_ANY, "owner");
  AnsweringDialog answer{wxString()};
  wxString out;
  FolderPicker(&owner, "/tmp/Tom & Jerry", &out, 4096, answer.dialog());
  FolderPicker(&owner, "", &out, 4096, answer.dialog());
  EXPECT_EQ(answer.owners, (std::vector<wxWindow*>{&owner, &owner}));
  EXPECT_EQ(answer.initials, (std::vector<wxString>{"/tmp/Tom & Jerry", wxGetCwd()}));
}

}  // namespace
}  // namespace app

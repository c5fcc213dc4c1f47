// A fresh folder for one test, removed with everything in it when the test ends; and whole-file reads and
// writes for checking what a test wrote. Not thread-safe: one test owns a folder.
#ifndef PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_
#define PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

// What joins a folder and a name in a path: "/" on Linux, "\\" on Windows.
inline const std::string kPathSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Makes a folder in here named as oddly as the file system allows - spaces, "&", an apostrophe, a
  // non-ASCII letter, a leading "-" and, where allowed (not on Windows), double quotes - and returns it.
  std::filesystem::path MakeOddlyNamedFolder() const;

  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const { return EntriesOf(path_); }
  static std::vector<std::string> EntriesOf(const std::filesystem::path& folder);

 private:
  std::filesystem::path path_;
};

std::vector<unsigned char> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
// The text of a file that a program wrote in text mode; on Windows "\r\n" comes back as "\n".
std::string ReadText(const std::filesystem::path& path);

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_

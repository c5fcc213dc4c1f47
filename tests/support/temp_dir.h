// A fresh folder for one test, removed with everything in it when the test ends; and whole-file reads and
// writes for checking what a test wrote. Not thread-safe: one test owns a folder.
#ifndef PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_
#define PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace testing_support {

// What joins a folder and a name in a path: "/" on Linux, "\\" on Windows.
inline const std::string kPathSeparator(1, static_cast<char>(std::filesystem::path::preferred_separator));

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    do path_ = std::filesystem::temp_directory_path() / ("pixmeld-test-" + std::to_string(random()));
    while (!std::filesystem::create_directory(path_));
  }
  ~TempDir() {
    namespace fs = std::filesystem;
    std::error_code ignored;
    // Tests may take permissions away; give them back so that everything can be removed.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const { return EntriesOf(path_); }
  static std::vector<std::string> EntriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::filesystem::path path_;
};

inline std::vector<unsigned char> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The text of a file that a program wrote in text mode; on Windows "\r\n" comes back as "\n".
inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_TEMP_DIR_H_

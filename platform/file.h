// Buffered files and file names. Every file name the program uses is a std::filesystem::path made by
// PathFromUtf8 (or by the toolkit's own file-name conversion in the desktop program), never by a
// locale-dependent conversion, so that names such as "Überlingen.jpg" work in any locale.
// File is an owner of one open stdio stream; it is closed on every way out.
#ifndef PIXMELD_PLATFORM_FILE_H_
#define PIXMELD_PLATFORM_FILE_H_

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Linux names are bytes (in practice UTF-8) and are taken as they are; Windows names are converted from
// UTF-8 to UTF-16. None of these throws. On Windows PathFromUtf8 turns bytes that are not UTF-8 into
// U+FFFD, a name no file is meant to have; where such a name must fail instead, ExactPathFromUtf8 gives
// nothing for it (on Linux it gives every name).
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::optional<std::filesystem::path> ExactPathFromUtf8(std::string_view utf8);
// Why a name that ExactPathFromUtf8 refuses names no file.
inline constexpr char kNameNotUnicode[] = "the name is not valid Unicode";
// A Windows name that holds half of a UTF-16 pair comes back as bytes that are not UTF-8 (unicode.h).
std::string PathToUtf8(const std::filesystem::path& path);

// `prefix` + 12 random letters and digits + `suffix`: a name no other file is likely to have.
std::string UniqueName(std::string_view prefix, std::string_view suffix);

class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Opens `path` with a stdio `mode` ("rb", "wb", "wbx"); the result is closed when it fails.
  static File Open(const std::filesystem::path& path, const char* mode);

  // Creates a new file that did not exist before, named `prefix` + random letters + `suffix`, inside
  // `folder`, with the permissions a plain create gives. `created` receives its path.
  // Takes ownership of an open stream (or of none).
  static File Adopt(std::FILE* stream) { return File(stream); }

  static File CreateUnique(const std::filesystem::path& folder, std::string_view prefix,
                           std::string_view suffix, std::filesystem::path* created);

  bool is_open() const { return stream_ != nullptr; }
  std::FILE* get() const { return stream_; }

  // Flushes and closes; false when a buffered write or the close failed. Closing a closed file is true.
  bool Close();

 private:
  explicit File(std::FILE* stream) : stream_(stream) {}

  std::FILE* stream_ = nullptr;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_FILE_H_

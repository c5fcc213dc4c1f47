#include "cli/file_list.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/escape.h"
#include "platform/file.h"
#include "platform/standard_error.h"
#include "platform/unicode.h"

namespace cli {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF", kUtf16LittleEndianMark = "\xFF\xFE";

std::string Utf8FromUtf16LittleEndian(std::string_view bytes) {
  std::u16string text(bytes.size() / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
  }
  return platform::Utf8FromUtf16(text);
}

}  // namespace

bool ReadFileList(std::istream& in, char separator, std::vector<std::string>* files) {
  std::string bytes;
  char chunk[1 << 16];
  while (in.read(chunk, sizeof chunk) || in.gcount() > 0) bytes.append(chunk, in.gcount());
  if (in.bad()) return false;
  if (bytes.compare(0, kUtf8Mark.size(), kUtf8Mark) == 0) {
    bytes.erase(0, kUtf8Mark.size());
  } else if (bytes.compare(0, kUtf16LittleEndianMark.size(), kUtf16LittleEndianMark) == 0) {
    bytes = Utf8FromUtf16LittleEndian(std::string_view(bytes).substr(kUtf16LittleEndianMark.size()));
  }
  for (std::size_t start = 0, end = 0; start < bytes.size(); start = end + 1) {
    end = std::min(bytes.find(separator, start), bytes.size());
    std::string_view path = std::string_view(bytes).substr(start, end - start);
    // A list written on Windows ends its lines in "\r\n".
    if (separator == '\n' && !path.empty() && path.back() == '\r') path.remove_suffix(1);
    if (!path.empty()) files->emplace_back(path);
  }
  return true;
}

bool ReadFileList(const std::string& name, char separator, std::vector<std::string>* files,
                  std::string* error) {
  if (name == "-") {
    if (ReadFileList(platform::BinaryStandardInput(), separator, files)) return true;
    *error = "cannot read the list of files from standard input";
    return false;
  }
  *error = "cannot read the list of files " + EscapeForTerminal(name);
  const std::optional<std::filesystem::path> path = platform::ExactPathFromUtf8(name);
  if (!path) {
    *error += std::string(" (") + platform::kNameNotUnicode + ")";
    return false;
  }
  std::error_code ignored;
  errno = std::filesystem::is_directory(*path, ignored) ? EISDIR : 0;
  std::ifstream in;
  if (errno == 0) in.open(*path, std::ios::binary);
  if (in.is_open() && ReadFileList(in, separator, files)) return true;
  if (errno != 0) *error += " (" + std::generic_category().message(errno) + ")";
  return false;
}

}  // namespace cli

#include "cli/file_list.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>

#include "cli/escape.h"
#include "platform/file.h"

namespace cli {

bool ReadFileList(std::istream& in, char separator, std::vector<std::string>* files) {
  std::string path;
  while (std::getline(in, path, separator)) {
    // A list written on Windows ends its lines in "\r\n".
    if (separator == '\n' && !path.empty() && path.back() == '\r') path.pop_back();
    if (!path.empty()) files->push_back(path);
  }
  return !in.bad();
}

bool ReadFileList(const std::string& name, char separator, std::vector<std::string>* files,
                  std::string* error) {
  if (name == "-") {
    if (ReadFileList(std::cin, separator, files)) return true;
    *error = "cannot read the list of files from standard input";
    return false;
  }
  std::error_code ignored;
  errno = std::filesystem::is_directory(platform::PathFromUtf8(name), ignored) ? EISDIR : 0;
  std::ifstream in;
  if (errno == 0) in.open(platform::PathFromUtf8(name), std::ios::binary);
  if (in.is_open() && ReadFileList(in, separator, files)) return true;
  *error = "cannot read the list of files " + EscapeForTerminal(name);
  if (errno != 0) *error += " (" + std::generic_category().message(errno) + ")";
  return false;
}

}  // namespace cli

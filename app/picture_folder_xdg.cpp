// The user-dirs file holds shell-style lines such as
//   XDG_PICTURES_DIR="$HOME/Pictures"
// whose value is either "$HOME/..." or an absolute path, in double quotes, with "\" escaping the next
// character. Lines of any other form are skipped.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "app/picture_folder.h"

namespace app {
namespace {

constexpr std::string_view kKey = "XDG_PICTURES_DIR";
constexpr std::string_view kHome = "$HOME";

std::string_view TrimLeft(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  return text;
}

// The folder that one line sets, or nothing (false) when the line is not a pictures setting.
bool ParseLine(std::string_view line, const std::filesystem::path& home, std::filesystem::path* folder) {
  line = TrimLeft(line);
  if (line.substr(0, kKey.size()) != kKey) return false;
  line = TrimLeft(line.substr(kKey.size()));
  if (line.empty() || line.front() != '=') return false;
  line = TrimLeft(line.substr(1));
  if (line.empty() || line.front() != '"') return false;
  line.remove_prefix(1);
  bool relative = false;
  if (line.substr(0, kHome.size()) == kHome) {
    relative = true;
    line.remove_prefix(kHome.size());
  } else if (line.empty() || line.front() != '/') {
    return false;
  }
  std::string value;
  for (std::size_t i = 0; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] == '\\' && i + 1 < line.size()) ++i;
    value += line[i];
  }
  if (!relative) {
    *folder = std::filesystem::path(value).lexically_normal();
    return true;
  }
  if (home.empty()) return false;
  // "$HOME", "$HOME/" and "$HOME//" all name the home folder.
  const std::size_t rest = value.find_first_not_of('/');
  *folder = rest == std::string::npos ? home : home / value.substr(rest);
  return true;
}

std::filesystem::path FromEnvironment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path PicturesFolderFromUserDirs(std::string_view text, const std::filesystem::path& home) {
  std::filesystem::path folder;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    std::filesystem::path candidate;
    if (ParseLine(line, home, &candidate)) folder = candidate;
  }
  const auto same = [](const std::filesystem::path& a, const std::filesystem::path& b) {
    return a.lexically_normal().lexically_relative(b.lexically_normal()) == ".";
  };
  if (!home.empty() && same(folder, home)) return {};
  return folder;
}

std::filesystem::path ReadPictureFolder() {
  const std::filesystem::path home = FromEnvironment("HOME");
  // The settings live in $XDG_CONFIG_HOME, which must be absolute to count, else in ~/.config.
  std::filesystem::path config = FromEnvironment("XDG_CONFIG_HOME");
  if (!config.is_absolute()) {
    if (home.empty()) return {};
    config = home / ".config";
  }
  std::ifstream file(config / "user-dirs.dirs", std::ios::binary);
  if (!file) return {};
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return PicturesFolderFromUserDirs(text, home);
}

}  // namespace app

#include "batch/jpeg_name.h"

namespace batch {
namespace {

bool EndsWithIgnoringAsciiCase(std::string_view text, std::string_view ending) {
  if (text.size() < ending.size()) return false;
  text.remove_prefix(text.size() - ending.size());
  for (std::size_t i = 0; i < ending.size(); ++i) {
    const char c = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (c != ending[i]) return false;
  }
  return true;
}

}  // namespace

bool HasJpegExtension(std::string_view path) {
  const std::size_t separator = path.find_last_of("/\\");
  const std::string_view name = separator == std::string_view::npos ? path : path.substr(separator + 1);
  for (std::string_view extension : {std::string_view(".jpg"), std::string_view(".jpeg")}) {
    if (EndsWithIgnoringAsciiCase(name, extension)) return true;
  }
  return false;
}

}  // namespace batch

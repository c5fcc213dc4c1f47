#include "platform/file.h"

#include <cerrno>
#include <random>
#include <utility>

namespace platform {

File::File(File&& other) noexcept : stream_(std::exchange(other.stream_, nullptr)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    stream_ = std::exchange(other.stream_, nullptr);
  }
  return *this;
}

File::~File() { Close(); }

std::string UniqueName(std::string_view prefix, std::string_view suffix) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<int> pick(0, sizeof(kLetters) - 2);
  std::string name(prefix);
  for (int i = 0; i < 12; ++i) name += kLetters[pick(random)];
  name += suffix;
  return name;
}

File File::CreateUnique(const std::filesystem::path& folder, std::string_view prefix, std::string_view suffix,
                        std::filesystem::path* created) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::filesystem::path path = folder / PathFromUtf8(UniqueName(prefix, suffix));
    // "x" creates exclusively, with the permissions a plain create gives (0666 less the umask).
    File file = Open(path, "wbx");
    if (file.is_open()) {
      if (created != nullptr) *created = std::move(path);
      return file;
    }
    if (errno != EEXIST) break;
  }
  return File();
}

bool File::Close() {
  if (stream_ == nullptr) return true;
  const bool write_failed = std::ferror(stream_) != 0;
  const bool close_failed = std::fclose(std::exchange(stream_, nullptr)) != 0;
  return !write_failed && !close_failed;
}

}  // namespace platform

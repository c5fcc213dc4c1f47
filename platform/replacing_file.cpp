#include "platform/replacing_file.h"

#include <cerrno>
#include <system_error>
#include <utility>

namespace platform {

ReplacingFile::ReplacingFile(std::filesystem::path destination) : destination_(std::move(destination)) {
  std::filesystem::path folder = destination_.parent_path();
  if (folder.empty()) folder = ".";
  file_ = File::CreateUnique(folder, kTemporaryPrefix, kTemporarySuffix, &temporary_);
}

ReplacingFile::~ReplacingFile() { Discard(); }

ReplacingFile::CommitResult ReplacingFile::Commit() {
  if (!file_.Close()) {
    Discard();
    return CommitResult::kWriteFailed;
  }
  // rename replaces an existing destination atomically, on Windows too.
  std::error_code error;
  std::filesystem::rename(temporary_, destination_, error);
  if (error) {
    Discard();
    return CommitResult::kMoveFailed;
  }
  temporary_.clear();
  return CommitResult::kReplaced;
}

void ReplacingFile::Discard() {
  const int failure = errno;  // what made the caller give up, for its message
  file_.Close();              // closed first: Windows cannot remove an open file
  if (!temporary_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
  }
  errno = failure;
}

}  // namespace platform

#include "platform/replacing_file.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/temporary_files.h"
#include "platform/unnamed_file.h"

namespace platform {
namespace {

// Whether `folder` still takes a new file, asked after a link or rename in it failed with `error`. Only
// errors that can mean a missing, read-only or replaced folder are looked into, and then by making a file
// there: the same error can also come from the destination alone (a read-only file of its name on
// Windows, another user's file of its name in a shared folder), which fails that photo only.
bool FolderRefuses(const std::filesystem::path& folder, int error) {
  if (error != ENOENT && error != ENOTDIR && error != EACCES && error != EPERM && error != EROFS)
    return false;
  std::filesystem::path probe;
  TemporaryFileGuard guard;
  File file = File::CreateUnique(folder, kTemporaryPrefix, kTemporarySuffix, &probe);
  if (!file.is_open()) return true;
  file.Close();
  std::error_code ignored;
  std::filesystem::remove(probe, ignored);
  return false;
}

}  // namespace

ReplacingFile::ReplacingFile(std::filesystem::path destination)
    : destination_(std::move(destination)), folder_(destination_.parent_path()) {
  if (folder_.empty()) folder_ = ".";
  file_ = CreateUnnamedFile(folder_);
  if (file_.is_open()) return;
  // No nameless file here (or the folder refuses every file, in which case this fails the same way).
  TemporaryFileGuard guard;
  file_ = File::CreateUnique(folder_, kTemporaryPrefix, kTemporarySuffix, &temporary_);
  if (file_.is_open()) guard.Track(temporary_);
}

ReplacingFile::~ReplacingFile() { Discard(); }

ReplacingFile::CommitResult ReplacingFile::Commit() {
  if (temporary_.empty()) {
    // A nameless file gets its temporary name only now, once its every byte was written.
    if (std::fflush(file_.get()) != 0 || std::ferror(file_.get()) != 0) {
      Discard();
      return CommitResult::kWriteFailed;
    }
    bool named = false;
    {
      TemporaryFileGuard guard;
      named = NameUnnamedFile(file_, folder_, kTemporaryPrefix, kTemporarySuffix, &temporary_);
      if (named) guard.Track(temporary_);
    }
    if (!named) return GiveUp(CommitResult::kWriteFailed);
  }
  if (!file_.Close()) {
    Discard();
    return CommitResult::kWriteFailed;
  }
  // rename replaces an existing destination atomically, on Windows too.
  std::error_code moved;
  {
    TemporaryFileGuard guard;
    std::filesystem::rename(temporary_, destination_, moved);
    if (!moved) {
      guard.Forget(temporary_);
      temporary_.clear();
    }
  }
  if (moved) {
    // Windows reports its own error numbers; errno gets their portable meaning for the caller's message.
    errno = moved.default_error_condition().value();
    return GiveUp(CommitResult::kMoveFailed);
  }
  return CommitResult::kReplaced;
}

ReplacingFile::CommitResult ReplacingFile::GiveUp(CommitResult otherwise) {
  const int error = errno;
  Discard();
  const bool folder_refuses = FolderRefuses(folder_, error);
  errno = error;
  return folder_refuses ? CommitResult::kFolderRefuses : otherwise;
}

void ReplacingFile::Discard() {
  const int failure = errno;  // what made the caller give up, for its message
  file_.Close();              // closed first: Windows cannot remove an open file
  if (!temporary_.empty()) {
    TemporaryFileGuard guard;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    guard.Forget(temporary_);
    temporary_.clear();
  }
  errno = failure;
}

}  // namespace platform

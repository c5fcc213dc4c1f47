// ReplacingFile: a new file written beside its destination, which takes the destination's place only when
// it is complete. Until Commit succeeds the destination keeps whatever it held; on every other way out
// the new file is removed. A link at the destination is replaced by the new file, never written through.
// Where the system offers nameless files (unnamed_file.h) the file has no name until Commit, so even a
// killed process leaves nothing; elsewhere it has a temporary name from the start. Temporary names start
// with ".pixmeld-" and end with ".tmp" and are tracked (temporary_files.h) for an interrupt's cleanup.
// Not thread-safe; one owner per file.
#ifndef PIXMELD_PLATFORM_REPLACING_FILE_H_
#define PIXMELD_PLATFORM_REPLACING_FILE_H_

#include <cstdio>
#include <filesystem>

#include "platform/file.h"

namespace platform {

inline constexpr char kTemporaryPrefix[] = ".pixmeld-";
inline constexpr char kTemporarySuffix[] = ".tmp";

class ReplacingFile {
 public:
  enum class CommitResult {
    kReplaced,       // the destination now holds the new file
    kWriteFailed,    // a buffered write or the close failed
    kMoveFailed,     // the destination could not be replaced (a folder of that name, say)
    kFolderRefuses,  // the folder no longer takes the file: it is gone, read-only or no longer a folder
  };

  // Creates the new file in the destination's folder; is_open() tells whether that worked, and errno
  // why not.
  explicit ReplacingFile(std::filesystem::path destination);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool is_open() const { return file_.is_open(); }
  std::FILE* stream() const { return file_.get(); }

  // Closes the file, checking every buffered write, and moves it over the destination. After a failure,
  // errno tells why. REQUIRES: is_open().
  CommitResult Commit();

 private:
  // After the link or the rename into the folder failed (errno says why): discards the file and tells
  // a folder that refuses new files from a failure of this file alone (`otherwise`).
  CommitResult GiveUp(CommitResult otherwise);
  void Discard();

  std::filesystem::path destination_;
  std::filesystem::path folder_;
  std::filesystem::path temporary_;  // empty while the file has no name
  File file_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_REPLACING_FILE_H_

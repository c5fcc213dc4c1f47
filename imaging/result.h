// Result: what reading a photo, writing one, or the whole per-file step came to, and why. Every stage
// returns one and passes a failure up unchanged; only the layer that talks to the user (the window's box,
// the command-line tool's line) turns it into words. A plain value; thread-safe as values are.
#ifndef PIXMELD_IMAGING_RESULT_H_
#define PIXMELD_IMAGING_RESULT_H_

#include <string>
#include <utility>

namespace imaging {

enum class Outcome {
  kDone,           // decoded, or written
  kCannotOpen,     // the source could not be opened: missing, a folder, or not to be read by this user
  kUnreadable,     // not a JPEG, broken, or beyond the limits: the JPEG library or a guard refused it
  kNoMemory,       // not enough memory for the picture, wherever in the step
  kFolderRefuses,  // the destination folder takes no new file (gone, read-only, no longer a folder), found
                   // when the write starts or when it is committed. Every further photo would fail alike.
  kWriteFailed,    // this photo's copy could not be written (a full disk, a folder of its name in the way,
                   // the destination is the source itself); the destination is as it was
};

struct Result {
  Outcome outcome = Outcome::kDone;
  // Why it failed, in the system's or the JPEG library's words. For a photo that was written although
  // the library could decode it only in part (data cut short, corrupt data skipped), the library's first
  // warning, and `damaged` is set.
  std::string reason;
  bool damaged = false;

  bool ok() const { return outcome == Outcome::kDone; }

  static Result Failure(Outcome outcome, std::string reason) { return Result{outcome, std::move(reason)}; }
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_RESULT_H_

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
  kCannotOpen,     // the source could not be opened; no box is shown
  kNoMemory,       // no memory for the picture while it was read; no box is shown
  kUnreadable,     // not a JPEG, broken, or beyond the limits; "Error reading JPEG file" was shown
  kFolderRefuses,  // the destination folder takes no new file, or the destination is the source itself;
                   // "Error writing JPEG file" was shown. Every further photo for that folder fails alike.
  kWriteFailed,    // this photo's copy could not be written (a full disk, a folder of its name in the
                   // way); "Error writing JPEG file" was shown; the destination is as it was
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

// The message box text that belongs to an outcome; empty for kDone.
const char* OutcomeMessage(Outcome outcome);

}  // namespace imaging

#endif  // PIXMELD_IMAGING_RESULT_H_

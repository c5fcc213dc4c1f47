// FailureMessage: the words the user reads for a photo that was not written, the same in the window's box
// and on the command line's line. Thread-safe.
#ifndef PIXMELD_BATCH_FAILURE_MESSAGE_H_
#define PIXMELD_BATCH_FAILURE_MESSAGE_H_

#include "imaging/result.h"

namespace batch {

// "Error reading JPEG file" when the source could not be opened or read, "Error writing JPEG file" for
// every other failure, running out of memory included; empty for kDone.
const char* FailureMessage(imaging::Outcome outcome);

}  // namespace batch

#endif  // PIXMELD_BATCH_FAILURE_MESSAGE_H_

#include "batch/failure_message.h"

#include "imaging/jpeg_abort.h"

namespace batch {

const char* FailureMessage(imaging::Outcome outcome) {
  switch (outcome) {
    case imaging::Outcome::kCannotOpen:
    case imaging::Outcome::kUnreadable:
      return imaging::kReadErrorMessage;
    case imaging::Outcome::kDone:
      return "";
    case imaging::Outcome::kNoMemory:
    case imaging::Outcome::kFolderRefuses:
    case imaging::Outcome::kWriteFailed:
      break;
  }
  return imaging::kWriteErrorMessage;
}

}  // namespace batch

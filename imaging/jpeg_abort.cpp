#include "imaging/jpeg_abort.h"

#include "imaging/result.h"

#include <atomic>

namespace imaging {
namespace {

std::atomic<bool> print_messages{true};

}  // namespace

void JpegAbort(j_common_ptr) { throw kJpegErrorText; }

jpeg_error_mgr* UseJpegAbort(jpeg_error_mgr* err) {
  jpeg_std_error(err);
  err->error_exit = JpegAbort;
  return err;
}

std::string LastJpegMessage(j_common_ptr cinfo) {
  char text[JMSG_LENGTH_MAX] = {};
  (*cinfo->err->format_message)(cinfo, text);
  return text;
}

void PrintCodecMessages(bool print) { print_messages = print; }
bool CodecMessagesPrinted() { return print_messages; }

const char* OutcomeMessage(Outcome outcome) {
  switch (outcome) {
    case Outcome::kDone:
      return "";
    case Outcome::kCannotOpen:
    case Outcome::kNoMemory:
    case Outcome::kUnreadable:
      return kReadErrorMessage;
    case Outcome::kFolderRefuses:
    case Outcome::kWriteFailed:
      return kWriteErrorMessage;
  }
  return "";
}

}  // namespace imaging

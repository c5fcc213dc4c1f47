#include "imaging/jpeg_abort.h"

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

}  // namespace imaging

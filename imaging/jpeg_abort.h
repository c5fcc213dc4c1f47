// What the JPEG codec routines share: the texts the user sees when they fail, and JpegAbort, the
// library's fatal-error hook. JpegAbort throws the constant text kJpegErrorText; DecodeJpegFile and
// EncodeJpegFile catch exactly that (a const char*) around their library calls. It is the one exception
// in the program, and it crosses the library's C frames, which Debian builds with unwind tables.
#ifndef PIXMELD_IMAGING_JPEG_ABORT_H_
#define PIXMELD_IMAGING_JPEG_ABORT_H_

#include <cstdio>  // jpeglib.h needs FILE and size_t first

#include <jpeglib.h>

#include <string>

namespace imaging {

inline constexpr const char* kJpegErrorText = "JPEGError";
inline constexpr char kReadErrorMessage[] = "Error reading JPEG file";
inline constexpr char kWriteErrorMessage[] = "Error writing JPEG file";

// The library's error_exit. Never returns.
[[noreturn]] void JpegAbort(j_common_ptr cinfo);

// Sets up `err` as the library's standard error manager with JpegAbort as its error_exit; warnings keep
// the library's own output to standard error and do not stop the work.
jpeg_error_mgr* UseJpegAbort(jpeg_error_mgr* err);

// The library's text for the last error or warning it raised on `cinfo`.
std::string LastJpegMessage(j_common_ptr cinfo);

// Whether the codec prints its own lines on standard error, the library's warnings (a truncated file,
// say) and "can't open <path>", as it does unless a program that reports them itself (from a Result's
// reason) turns that off. Set it before any thread starts.
void PrintCodecMessages(bool print);
bool CodecMessagesPrinted();

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_ABORT_H_

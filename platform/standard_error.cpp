#include "platform/standard_error.h"

#include <cstdio>

namespace platform {

void WriteStandardError(std::string_view text) {
  // One fwrite holds the stream's lock for the whole line, so lines from parallel jobs never interleave.
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform

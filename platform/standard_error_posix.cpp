#include "platform/standard_error.h"

#include <cstdio>
#include <iostream>

namespace platform {
namespace {

// One fwrite holds the stream's lock for the whole line, so lines from parallel jobs never interleave.
void Write(std::string_view text, std::FILE* stream) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

void WriteStandardError(std::string_view text) { Write(text, stderr); }

void WriteStandardOutput(std::string_view text) { Write(text, stdout); }

std::istream& BinaryStandardInput() { return std::cin; }

}  // namespace platform

// The fuzz target's own checks over its seeds and every input it has found (fuzz/regressions/). A broken
// promise or a sanitizer report ends the program.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

TEST(FuzzReplayTest, TheSeedsAndEverySavedFindingRunCleanly) {
  for (const char* folder : {PIXMELD_FUZZ_SEEDS, PIXMELD_FUZZ_REGRESSIONS}) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() == ".md") continue;
      SCOPED_TRACE(entry.path().string());
      const std::vector<unsigned char> input = testing_support::ReadBytes(entry.path());
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
  }
}

}  // namespace

// The fuzz target's own checks, replayed in the test suite: the seed corpus and every input the fuzzer
// has found (fuzz/regressions/) run through it. A broken promise or a sanitizer report ends the program.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/reliability/jpeg_corpus.h"
#include "tests/support/temp_dir.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace reliability {
namespace {

void Replay(const Bytes& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

TEST(FuzzReplayTest, TheSeedsAndEverySavedFindingRunCleanly) {
  for (const CorpusFile& seed : SeedCorpus()) {
    SCOPED_TRACE(seed.name);
    Replay(seed.bytes);
  }
  int findings = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PIXMELD_FUZZ_REGRESSIONS)) {
    if (!entry.is_regular_file() || entry.path().extension() == ".md") continue;
    SCOPED_TRACE(entry.path().string());
    Replay(testing_support::ReadBytes(entry.path()));
    ++findings;
  }
  RecordProperty("findings", findings);
}

}  // namespace
}  // namespace reliability

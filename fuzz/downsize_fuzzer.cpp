// The fuzz target: one input is one JPEG file, put through the per-file step (decode, fit, resample,
// encode) at three maximum edges, and through the metadata parsers. Besides what the sanitizers catch,
// it aborts when the step breaks a promise: a written photo without its output, a failure without a
// reason, blamed on the folder or the opening of the input, or with an output left behind, or a
// temporary file left over.
// The test suite replays fuzz/seeds and fuzz/regressions through the same function. One input at a time;
// the function keeps a private folder for the process's lifetime.
//
//   make fuzz FUZZ_TIME=3600
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "batch/downsize_file.h"
#include "imaging/photo_metadata.h"
#include "imaging/raster_image.h"
#include "tests/support/temp_dir.h"

namespace {

// Pictures above this size are bounded by the decoder's pixel limit, which the imaging tests check; here
// they would spend the fuzzer's time filling memory. Pictures beyond that limit still run: they are
// refused at the header.
constexpr std::int64_t kLargestFuzzedPixels = std::int64_t{1} << 20;
constexpr int kMaxEdges[] = {16, 100, 2000};

[[noreturn]] void Broken(const char* promise) {
  std::fprintf(stderr, "pixmeld fuzz: broken promise: %s\n", promise);
  std::abort();
}

// True when some frame header in the input (a marker 0xFF 0xC0 to 0xCF, or bytes that look like one)
// declares a picture above kLargestFuzzedPixels that the decoder's limit lets through. Looking at every
// byte, as the decoder may skip junk between segments, errs on the side of skipping.
bool DeclaresALargePicture(const std::uint8_t* data, std::size_t size) {
  for (std::size_t at = 0; at + 9 <= size; ++at) {
    const std::int64_t pixels =
        std::int64_t{data[at + 5] << 8 | data[at + 6]} * (data[at + 7] << 8 | data[at + 8]);
    if (data[at] == 0xFF && (data[at + 1] & 0xF0) == 0xC0 && pixels > kLargestFuzzedPixels &&
        pixels <= imaging::kMaxPixels) {
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const testing_support::TempDir workspace;  // the process's own folder, removed at exit
  // The metadata parsers on the whole input taken as one segment's payload; the decoder gives them the
  // input's own segments.
  imaging::ExifOrientation(data, size);
  imaging::IsRgbIccProfile(std::vector<unsigned char>(data, data + size));
  if (DeclaresALargePicture(data, size)) return 0;

  const std::filesystem::path input = workspace.path() / "in.jpg";
  const std::filesystem::path output = workspace.path() / "out.jpg";
  std::ofstream(input, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  for (int max_edge : kMaxEdges) {
    // One size reads ahead on a thread of its own, the others on this one.
    const imaging::Result result =
        batch::DownsizeFile(max_edge, input, output, /*threads=*/max_edge == 100 ? 2 : 1);
    const bool has_output = std::filesystem::exists(output);
    // The input and the folder are always there: a failure is the photo's own.
    const bool photos_own =
        result.outcome != imaging::Outcome::kFolderRefuses && result.outcome != imaging::Outcome::kCannotOpen;
    if (result.ok() ? !has_output : has_output || result.reason.empty() || !photos_own) {
      Broken("a written photo has an output; a failure, none, a reason and an outcome of the photo's own");
    }
    std::error_code ignored;
    std::filesystem::remove(output, ignored);
    const std::filesystem::directory_iterator entries(workspace.path());
    if (std::distance(begin(entries), end(entries)) != 1) Broken("no temporary file is left behind");
    // The decode does not depend on the maximum edge.
    if (result.outcome == imaging::Outcome::kUnreadable) break;
  }
  return 0;
}

// The bad-input corpus through the per-file step: every file ends in an output or in one clear error,
// quickly, leaves its source as it was, and a failure leaves no file behind. One test per part of the
// corpus, so that parts run in parallel and a failure names its part. The whole corpus takes about 5 s,
// and 30 s under the sanitizers.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>

#include "batch/downsize_file.h"
#include "batch/size_table.h"
#include "tests/reliability/jpeg_corpus.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::ReadBytes;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;

// A guard against a hang or a runaway decode, not a speed goal (bench/ measures speed): the slowest file
// takes about half a second, and the bound stays far above that so that a busy machine never fails the
// suite. The sanitizers slow everything down.
#ifdef PIXMELD_SANITIZED
constexpr double kSlowestAllowedSeconds = 30;
#else
constexpr double kSlowestAllowedSeconds = 10;
#endif

bool LooksLikeJpeg(const std::filesystem::path& path) {
  const Bytes bytes = ReadBytes(path);
  return bytes.size() >= 4 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[bytes.size() - 2] == 0xFF &&
         bytes.back() == 0xD9;
}

class BadCorpusTest : public testing::TestWithParam<std::string> {};

TEST_P(BadCorpusTest, EachFileEndsInAnOutputOrOneErrorQuicklyAndAFailureLeavesNothing) {
  RecordingErrorBox boxes;
  TempDir dir;
  std::filesystem::create_directory(dir / "in");
  std::filesystem::create_directory(dir / "out");
  const std::vector<CorpusFile> files = BadCorpusPart(GetParam());
  ASSERT_FALSE(files.empty());

  int written = 0;
  int failed = 0;
  double slowest = 0;
  std::string slowest_name;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const CorpusFile& file = files[i];
    const std::filesystem::path source = dir / "in" / file.name;
    const std::filesystem::path destination = dir / "out" / file.name;
    WriteBytes(source, file.bytes);
    const std::size_t boxes_before = boxes.shown().size();

    testing::internal::CaptureStderr();  // the library's warnings, shown only when the file fails a check
    const auto start = std::chrono::steady_clock::now();
    const imaging::Result result = batch::DownsizeFile(
        batch::MaxEdgeAt(static_cast<int>(i % batch::kSizeTable.size())), source, destination);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::string warnings = testing::internal::GetCapturedStderr();

    SCOPED_TRACE(file.name + ", reason \"" + result.reason + "\", standard error:\n" +
                 warnings.substr(0, 2000));
    const std::size_t shown = boxes.shown().size() - boxes_before;
    if (result.outcome == imaging::Outcome::kDone) {
      ++written;
      EXPECT_EQ(shown, 0u);
      EXPECT_TRUE(LooksLikeJpeg(destination));
    } else {
      ++failed;
      EXPECT_EQ(shown, 1u) << "one error box, and only one";
      EXPECT_FALSE(result.reason.empty());
      EXPECT_FALSE(std::filesystem::exists(destination)) << "a failure leaves no output";
    }
    EXPECT_LT(seconds, kSlowestAllowedSeconds);
    EXPECT_EQ(ReadBytes(source), file.bytes) << "the source is never written";
    if (seconds > slowest) slowest = seconds, slowest_name = file.name;

    std::filesystem::remove(destination);
    std::filesystem::remove(source);
    EXPECT_TRUE(TempDir::EntriesOf(dir / "out").empty()) << "no temporary file remains";
    if (HasFailure()) return;  // the first broken file says enough
  }
  std::printf("%s: %d files, %d written, %d errors; slowest %.0f ms (%s)\n", GetParam().c_str(),
              written + failed, written, failed, slowest * 1000, slowest_name.c_str());
}

INSTANTIATE_TEST_SUITE_P(Parts, BadCorpusTest, testing::ValuesIn(BadCorpusParts()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return name;
                         });

}  // namespace
}  // namespace reliability

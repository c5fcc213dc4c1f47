#include "cli/run_report.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace cli {
namespace {

using imaging::Outcome;
using testing_support::TempDir;
using testing_support::WriteBytes;

class RunReportTest : public testing::Test {
 protected:
  FileResult File(const std::string& name, Outcome outcome, const std::string& reason = "",
                  bool damaged = false) {
    return FileResult{(dir_ / name).string(), dir_ / "out" / name, {outcome, reason, damaged}};
  }
  RunReport Report(std::size_t total, bool progress) {
    return RunReport(total, progress, [this](std::string_view text) { text_ += text; });
  }

  TempDir dir_;
  std::string text_;
};

TEST_F(RunReportTest, SummaryLines) {
  const struct {
    RunTally tally;
    std::string line;
  } cases[] = {
      {{12, 1, 1, 0, 148'200'000, 9'149'999}, "12 written, 1 failed, 1 damaged; 148.2 MB in, 9.1 MB out"},
      {{0, 1, 0, 2, 0, 0}, "0 written, 1 failed, 0 damaged, 2 not tried; 0.0 MB in, 0.0 MB out"},
      {{2, 0, 0, 0, 49'999, 50'000}, "2 written, 0 failed, 0 damaged; 0.0 MB in, 0.1 MB out"},
      {{2, 0, 0, 0, 999'950'000, 1'000'000'000'000},
       "2 written, 0 failed, 0 damaged; 1000.0 MB in, 1000000.0 MB out"},
  };
  for (const auto& [tally, line] : cases) EXPECT_EQ(SummaryLine(tally), line);
}

TEST_F(RunReportTest, NamesEachFailureAndDamageOnceStopsWhenTheFolderRefusesAndSumsUp) {
  std::filesystem::create_directory(dir_ / "out");
  WriteBytes(dir_ / "a.jpg", std::vector<unsigned char>(300'000));
  WriteBytes(dir_ / "out" / "a.jpg", std::vector<unsigned char>(60'000));
  RunReport report = Report(6, false);
  EXPECT_TRUE(report.Done(File("a.jpg", Outcome::kDone)));
  EXPECT_TRUE(report.Done(File("bad\nname.jpg", Outcome::kUnreadable, "Not a JPEG file")));
  EXPECT_TRUE(report.Done(File("e.jpg", Outcome::kDone, "Premature end of JPEG file", true)));
  EXPECT_FALSE(report.Done(File("c.jpg", Outcome::kFolderRefuses, "no room")));
  EXPECT_FALSE(report.Done(File("d.jpg", Outcome::kFolderRefuses, "no room")));
  report.Finish();
  const std::string dir = (dir_ / "").string();  // with its separator
  EXPECT_EQ(text_, "pixmeld-cli: " + dir + "bad\\nname.jpg: Error reading JPEG file (Not a JPEG file)\n" +
                       "pixmeld-cli: " + dir +
                       "e.jpg: written, but the photo is damaged (Premature end of JPEG file)\n" +
                       "pixmeld-cli: " + dir + "c.jpg: Error writing JPEG file (no room)\n" +
                       "2 written, 3 failed, 1 damaged, 1 not tried; 0.3 MB in, 0.1 MB out\n");
  EXPECT_EQ(report.ExitStatus(), 1);
}

TEST_F(RunReportTest, TheProgressLineShowsThePhotoJustFinishedAndOnePhotoNeedsNoSummary) {
  RunReport report = Report(1, true);
  EXPECT_TRUE(report.Done(File("\x1b[2Jx.jpg", Outcome::kDone)));
  EXPECT_EQ(text_, "\r\x1b[K[1/1] done: " + (dir_ / "").string() + "\\x1b[2Jx.jpg");
  report.Finish();
  EXPECT_EQ(text_.substr(text_.size() - 4), "\r\x1b[K") << "the line is cleared at the end";
  EXPECT_EQ(report.ExitStatus(), 0);
}

}  // namespace
}  // namespace cli

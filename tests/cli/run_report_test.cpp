#include "cli/run_report.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace cli {
namespace {

using imaging::Outcome;

TEST(RunReportTest, SummaryLines) {
  const std::pair<RunTally, std::string> cases[] = {
      {{12, 1, 1, 0, 148'200'000, 9'149'999}, "12 written, 1 failed, 1 damaged; 148.2 MB in, 9.1 MB out"},
      {{0, 1, 0, 2, 0, 0}, "0 written, 1 failed, 0 damaged, 2 not tried; 0.0 MB in, 0.0 MB out"},
      {{2, 0, 0, 1, 49'999, 50'000}, "2 written, 0 failed, 0 damaged, 1 not tried; 0.0 MB in, 0.1 MB out"},
      {{2, 0, 0, 0, 999'950'000, 1'000'000'000'000},
       "2 written, 0 failed, 0 damaged; 1000.0 MB in, 1000000.0 MB out"},
  };
  for (const auto& [tally, line] : cases) EXPECT_EQ(SummaryLine(tally), line);
}

TEST(RunReportTest, NamesEachFailureAndDamageOnceStopsWhenTheFolderRefusesAndSumsUp) {
  testing_support::TempDir dir;
  std::filesystem::create_directory(dir / "out");
  testing_support::WriteBytes(dir / "a.jpg", std::vector<unsigned char>(300'000));
  testing_support::WriteBytes(dir / "out" / "a.jpg", std::vector<unsigned char>(60'000));
  const auto file = [&](const std::string& name, Outcome outcome, const std::string& reason = "",
                        bool damaged = false) {
    return FileResult{(dir / name).string(), dir / "out" / name, {outcome, reason, damaged}};
  };
  std::string text;
  RunReport report(7, false, [&](std::string_view written) { text += written; });
  EXPECT_TRUE(report.Done(file("a.jpg", Outcome::kDone)));
  EXPECT_TRUE(report.Done(file("bad\nname.jpg", Outcome::kUnreadable, "Not a JPEG file")));
  EXPECT_TRUE(report.Done(file("e.jpg", Outcome::kDone, "Premature end of JPEG file", true)));
  EXPECT_TRUE(report.Done(file("w.jpg", Outcome::kWriteFailed, "No space left on device")));
  EXPECT_FALSE(report.Done(file("c.jpg", Outcome::kFolderRefuses, "no room")));
  EXPECT_FALSE(report.Done(file("d.jpg", Outcome::kFolderRefuses, "no room")));
  report.Finish();
  const std::string line = "pixmeld-cli: " + (dir / "").string();
  EXPECT_EQ(text, line + "bad\\nname.jpg: Error reading JPEG file (Not a JPEG file)\n" + line +
                      "e.jpg: written, but the photo is damaged (Premature end of JPEG file)\n" + line +
                      "w.jpg: Error writing JPEG file (No space left on device)\n" + line +
                      "c.jpg: Error writing JPEG file (no room)\n" +
                      "2 written, 4 failed, 1 damaged, 1 not tried; 0.3 MB in, 0.1 MB out\n");
  EXPECT_EQ(report.ExitStatus(), 1);
}

TEST(RunReportTest, TheProgressLineShowsThePhotoJustFinishedAndOnePhotoNeedsNoSummary) {
  std::string text;
  RunReport report(1, true, [&](std::string_view written) { text += written; });
  EXPECT_TRUE(report.Done(FileResult{"\x1b[2Jx.jpg", "out/x.jpg", {}}));
  EXPECT_EQ(text, "\r\x1b[K[1/1] done: \\x1b[2Jx.jpg");
  report.Finish();
  EXPECT_EQ(text.substr(text.size() - 4), "\r\x1b[K") << "the line is cleared at the end";
  EXPECT_EQ(report.ExitStatus(), 0);
}

}  // namespace
}  // namespace cli

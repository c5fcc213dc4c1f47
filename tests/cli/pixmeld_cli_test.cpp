// pixmeld-cli as scripts use it: the program itself, its exit statuses and what it leaves on disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace {

using testing_support::JpegRecipe;
using testing_support::ReadBytes;
using testing_support::ReadJpegFacts;
using testing_support::TempDir;
using testing_support::WriteBytes;
using testing_support::WriteJpeg;

class PixmeldCliTest : public testing::Test {
 protected:
  testing_support::ProgramRun Cli(const std::vector<std::string>& arguments, const std::string& input = "") {
    return testing_support::RunProgram(PIXMELD_CLI_PATH, arguments, dir_.path(), input);
  }

  std::string Photo(const std::string& name, int width, int height) {
    JpegRecipe recipe;
    recipe.width = width;
    recipe.height = height;
    WriteJpeg(dir_ / name, recipe);
    return (dir_ / name).string();
  }

  std::vector<std::string> Outputs() const {
    return std::filesystem::exists(dir_ / "out") ? TempDir::EntriesOf(dir_ / "out")
                                                 : std::vector<std::string>();
  }

  TempDir dir_;
};

TEST_F(PixmeldCliTest, WritesEveryPhotoAtTheMaximumEdgeAndExitsZero) {
  const std::string wide = Photo("wide.jpg", 400, 300);
  const std::string tall = Photo("tall.jpg", 150, 500);
  const std::string small = Photo("small.jpg", 50, 40);
  const testing_support::ProgramRun run =
      Cli({"-m200", "--output=" + (dir_ / "out").string(), wide, tall, small});
  EXPECT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.errors.rfind("3 written, 0 failed, 0 damaged; 0.", 0), 0u) << run.errors;
  EXPECT_EQ(std::count(run.errors.begin(), run.errors.end(), '\n'), 1) << run.errors;
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"small.jpg", "tall.jpg", "wide.jpg"}));
  EXPECT_EQ(ReadJpegFacts(dir_ / "out" / "wide.jpg").width, 200);
  EXPECT_EQ(ReadJpegFacts(dir_ / "out" / "tall.jpg").height, 200);
  EXPECT_EQ(ReadJpegFacts(dir_ / "out" / "tall.jpg").width, 60);
  EXPECT_EQ(ReadJpegFacts(dir_ / "out" / "small.jpg").width, 50);
}

TEST_F(PixmeldCliTest, AFailingPhotoIsNamedLeavesNothingBehindAndMakesTheStatusOne) {
  const std::string good = Photo("good.jpg", 100, 100);
  WriteBytes(dir_ / "bad.jpg", {'n', 'o', 't', ' ', 'j', 'p', 'e', 'g'});
  std::filesystem::create_directory(dir_ / "out");
  WriteBytes(dir_ / "out" / "bad.jpg", {'k', 'e', 'e', 'p'});
  const testing_support::ProgramRun run =
      Cli({"-o", (dir_ / "out").string(), "-m", "50", (dir_ / "bad.jpg").string(), good,
           (dir_ / "missing.jpg").string()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find((dir_ / "bad.jpg").string() + ": Error reading JPEG file (Not a JPEG file"),
            std::string::npos)
      << run.errors;
  EXPECT_NE(run.errors.find((dir_ / "missing.jpg").string() + ": Error reading JPEG file"),
            std::string::npos);
  EXPECT_EQ(Outputs(), (std::vector<std::string>{"bad.jpg", "good.jpg"}));
  EXPECT_EQ(ReadBytes(dir_ / "out" / "bad.jpg"), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
}

TEST_F(PixmeldCliTest, FilesFromAListOnStandardInputOrInAFile) {
  // A name with a newline, where names may hold one.
  const std::string odd_name =
      std::filesystem::path::preferred_separator == '/' ? "new\nline.jpg" : "new line.jpg";
  const std::string odd = Photo(odd_name, 30, 20);
  const std::string plain = Photo("plain.jpg", 30, 20);
  // As `find -print0` writes them, with empty entries that count for nothing.
  const testing_support::ProgramRun piped =
      Cli({"-0", "--files-from", "-", "-o", (dir_ / "out").string()},
          odd + std::string(1, '\0') + std::string(1, '\0') + plain + std::string(1, '\0'));
  EXPECT_EQ(piped.status, 0) << piped.errors;
  EXPECT_EQ(Outputs(), (std::vector<std::string>{odd_name, "plain.jpg"}));

  std::ofstream(dir_ / "list.txt") << plain << "\n\n" << (dir_ / "missing.jpg").string() << "\n";
  const testing_support::ProgramRun listed =
      Cli({"--files-from=" + (dir_ / "list.txt").string(), "-o", (dir_ / "out").string()});
  EXPECT_EQ(listed.status, 1);
  EXPECT_NE(listed.errors.find((dir_ / "missing.jpg").string() + ": Error reading JPEG file"),
            std::string::npos)
      << listed.errors;

  for (const auto& [list, reason] : {std::pair{"no-list.txt", "no-list.txt (No such file or directory)"},
                                     std::pair{"out", "out (Is a directory)"}}) {
    const testing_support::ProgramRun unread = Cli({"--files-from", (dir_ / list).string(), plain});
    EXPECT_EQ(unread.status, 1);
    EXPECT_NE(unread.errors.find(reason), std::string::npos) << unread.errors;
  }
  EXPECT_EQ(Cli({"-0", "--files-from", "-"}, "").status, 0) << "an empty list is no error";
}

TEST_F(PixmeldCliTest, UsageErrorsExitTwoAndWriteNothing) {
  const std::string photo = Photo("a.jpg", 10, 10);
  const std::vector<std::vector<std::string>> usages = {
      {"-o", (dir_ / "out").string()},
      {"-o", (dir_ / "out").string(), "--max-edge", "zero", photo},
      {"-o", (dir_ / "out").string(), "--max-edge", "-1", photo},
      {"-o", (dir_ / "out").string(), "--colour", photo},
  };
  for (const auto& arguments : usages) {
    const testing_support::ProgramRun run = Cli(arguments);
    EXPECT_EQ(run.status, 2) << run.errors;
    EXPECT_NE(run.errors.find("--help"), std::string::npos);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out"));
}

TEST_F(PixmeldCliTest, HelpAndVersion) {
  const testing_support::ProgramRun help = Cli({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("--max-edge"), std::string::npos);
  const testing_support::ProgramRun version = Cli({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.output, "pixmeld-cli 1.0.0\n");
}

TEST_F(PixmeldCliTest, TheOutputFolderIsCreatedAndAnUncreatableOneIsAnError) {
  const std::string photo = Photo("a.jpg", 10, 10);
  EXPECT_EQ(Cli({"-o", (dir_ / "out" / "deeper").string(), photo}).status, 0);
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out" / "deeper" / "a.jpg"));

  WriteBytes(dir_ / "file", {'x'});
  const testing_support::ProgramRun blocked = Cli({"-o", (dir_ / "file" / "sub").string(), photo});
  EXPECT_EQ(blocked.status, 1);
  EXPECT_NE(blocked.errors.find("cannot create the output folder"), std::string::npos);
}

}  // namespace

// pixmeld-cli as scripts use it, the real program: its words, its exit status and the files it writes,
// real write faults among them (a full disk and a folder that refuses new files, on tmpfs mounts in a
// mount namespace of the test's own, which disappear with it), and what a kill in the middle of a write
// leaves behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <thread>
#include <tuple>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

namespace ts = testing_support;
using ts::TempDir;
using Names = std::vector<std::string>;

// Starts `arguments` with the interrupts at their defaults (a test runner may have some ignored), reading
// in.txt and writing out.txt and err.txt in `folder`. Wait for it with waitpid.
pid_t Start(Names arguments, const std::filesystem::path& folder) {
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    for (int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);
    dup2(open((folder / "in.txt").c_str(), O_RDONLY), 0);
    dup2(open((folder / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open((folder / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

TEST(PixmeldCliTest, WordsExitStatusAndOutputsByTable) {
  TempDir dir;
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));  // for the user "nobody"
  ts::JpegRecipe photo;
  photo.quality = 50;  // small files: their sizes round to 0.0 MB, but for big.jpg's output (above 64 KiB)
                       // The three x.jpg are told apart by their height.
  // clang-format off
  for (const auto& [name, width, height] : std::vector<std::tuple<std::string, int, int>>{
           {"wide.jpg", 200, 150}, {"tall.jpg", 200, 300}, {"big.jpg", 800, 600}, {"a/x.jpg", 200, 'a'},
           {"B/x.jpg", 200, 'B'}, {"c/x.jpg", 200, 'c'}}) {
    // clang-format on
    std::tie(photo.width, photo.height) = std::tie(width, height);
    std::filesystem::create_directories((dir / name).parent_path());
    ts::WriteJpeg(dir / name, photo);
  }
  std::vector<unsigned char> cut = ts::MakeJpeg(photo);
  cut.resize(cut.size() / 2);
  ts::WriteBytes(dir / "cut.jpg", cut);
  // `in` starts the path of an input, `says` an error line about one, `mb` ends every summary.
  const std::string in = (dir / "").string(), says = "pixmeld-cli: " + in, mb = " 0.0 MB in, 0.0 MB out\n";
  const std::string nul(1, '\0'), ok = ", 0 failed, 0 damaged;" + mb, two = "2 written" + ok;
  const std::string stop = "\n0 written, 1 failed, 0 damaged, 1 not tried;" + mb;
  const bool root = geteuid() == 0;
  if (!root)
    std::cout << "[  SKIPPED ] the write faults: they need root, to mount a tmpfs and be another user\n";
  ASSERT_TRUE(!root ||
              (unshare(CLONE_NEWNS) == 0 && mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0));
  const struct {
    Names arguments;  // after "pixmeld-cli -j1 -o OUT" (a later -o or -j wins)
    std::string input;
    int status;
    std::string text;             // standard output and error
    Names outputs;                // in OUT
    const char* tmpfs = nullptr;  // mounted on OUT ("D/disk"), which holds an older big.jpg
    bool as_nobody = false;       // root writes anywhere whatever the mode
  } runs[] = {
      // clang-format off
    {{"-m100", in + "wide.jpg", in + "tall.jpg"}, "", 0, two, {"tall.jpg", "wide.jpg"}},
    {{"-j3", in + "c/x.jpg", in + "a/x.jpg", in + "B/x.jpg"}, "", 0, "3 written" + ok, {"x.jpg"}},
    {{in + "cut.jpg"}, "", 0, says + "cut.jpg: written, but the photo is damaged (Premature end of JPEG file)\n"
     "1 written, 0 failed, 1 damaged;" + mb, {"cut.jpg"}},
    {{"-0", "--files-from", "-"}, in + "wide.jpg" + nul + nul + in + "tall.jpg" + nul, 0, two, {"tall.jpg",
     "wide.jpg"}},
    {{"-0", "--files-from", "-"}, "", 0, "", {}},
    {{"--files-from", in + "none", in + "wide.jpg"}, "", 1,
     "pixmeld-cli: cannot read the list of files " + in + "none (No such file or directory)\n", {}},
    {{"-o", in + "cut.jpg/x", in + "wide.jpg"}, "", 1,
     "pixmeld-cli: cannot create the output folder " + in + "cut.jpg/x\n", {}},
    {{"-m", "0", in + "wide.jpg"}, "", 2,
     "pixmeld-cli: --max-edge needs a whole number from 1 to 65500\nTry 'pixmeld-cli --help'.\n", {}},
    {{"-m2000", in + "big.jpg", in + "tall.jpg"}, "", 1,
     says + "big.jpg: Error writing JPEG file (No space left on device)\n"
     "1 written, 1 failed, 0 damaged;" + mb, {"big.jpg", "tall.jpg"}, "size=64k"},
    {{in + "big.jpg", in + "tall.jpg"}, "", 1, says + "big.jpg: Error writing JPEG file (can't open " + in +
     "disk/big.jpg: Permission denied)" + stop, {"big.jpg"}, "size=64k,mode=0555", true},
      // clang-format on
  };
  for (std::size_t row = 0; row < std::size(runs); ++row) {
    const auto& run = runs[row];
    const auto out = run.tmpfs ? dir / "disk" : dir / ("out" + std::to_string(row));
    SCOPED_TRACE("row " + std::to_string(row));
    if (run.tmpfs && !root) continue;
    if (run.tmpfs) {
      std::filesystem::create_directory(out);
      ASSERT_EQ(mount("pixmeld-test", out.c_str(), "tmpfs", 0, run.tmpfs), 0);
      ts::WriteBytes(out / "big.jpg", {'o', 'l', 'd'});
    }
    Names arguments = {PIXMELD_CLI_PATH, "-j1", "-o", out.string()};
    if (run.as_nobody)
      arguments.insert(arguments.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    arguments.insert(arguments.end(), run.arguments.begin(), run.arguments.end());
    std::ofstream(dir / "in.txt", std::ios::binary) << run.input;
    int status = 0;
    waitpid(Start(arguments, dir.path()), &status, 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, run.status);
    EXPECT_EQ(ts::ReadText(dir / "out.txt") + ts::ReadText(dir / "err.txt"), run.text);
    EXPECT_EQ(std::filesystem::exists(out) ? TempDir::EntriesOf(out) : Names(), run.outputs);
    if (run.tmpfs) {
      EXPECT_EQ(ts::ReadBytes(out / "big.jpg"), (std::vector<unsigned char>{'o', 'l', 'd'}));
      umount2(out.c_str(), MNT_DETACH);
    }
  }
  EXPECT_EQ(ts::ReadJpegFacts(dir / "out0" / "wide.jpg").width, 100);
  EXPECT_EQ(ts::ReadJpegFacts(dir / "out0" / "tall.jpg").height, 100);
  EXPECT_EQ(ts::ReadJpegFacts(dir / "out1" / "x.jpg").height, 'c') << "the last one wins";
}

// SIGINT, SIGTERM and SIGHUP leave no temporary file and end the program with 128 + the signal's number,
// with nameless temporary files and, through a preloaded library that refuses those, with named ones;
// SIGKILL leaves none either, since the file has no name until it is complete.
TEST(PixmeldCliTest, AKillMidWriteLeavesNoTemporaryFile) {
  TempDir dir;
  Names arguments = {PIXMELD_CLI_PATH, "-m65500", "-j2", "-o", (dir / "out").string()};
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    ts::JpegRecipe photo;  // at full size: a write that takes a while
    photo.width = 3000, photo.height = 2000;
    ts::WriteJpeg(dir / name, photo);
    arguments.push_back((dir / name).string());
  }
  const char* asan = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", ("verify_asan_link_order=0:" + std::string(asan ? asan : "")).c_str(), 1);
  for (const auto& [sent, named] : std::vector<std::pair<int, bool>>{
           {SIGTERM, true}, {SIGINT, true}, {SIGHUP, false}, {SIGKILL, false}}) {
    SCOPED_TRACE(std::string(strsignal(sent)) + (named ? ", named" : ", nameless"));
    std::filesystem::remove_all(dir / "out");
    std::filesystem::create_directory(dir / "out");
    if (named) setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    const pid_t child = Start(arguments, dir.path());
    unsetenv("LD_PRELOAD");
    // Until it holds a file open in "out" (named or not): a photo is being written.
    const auto writing = [&, fds = "/proc/" + std::to_string(child) + "/fd"] {
      std::error_code ended, gone;
      for (const auto& fd : std::filesystem::directory_iterator(fds, ended))
        if (std::filesystem::read_symlink(fd.path(), gone).parent_path() == dir / "out") return true;
      return false;
    };
    for (int ms = 0; ms < 20000 && !writing(); ++ms)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(child, sent);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(sent == SIGKILL ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                                : WIFEXITED(status) && WEXITSTATUS(status) == 128 + sent)
        << status;
    // Photos written whole ("a.jpg" and the like), and no longer name.
    for (const std::string& name : TempDir::EntriesOf(dir / "out")) EXPECT_EQ(name.size(), 5u) << name;
  }
}

}  // namespace

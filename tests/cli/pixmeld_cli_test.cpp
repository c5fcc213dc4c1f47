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
#include <iterator>
#include <thread>

#include "cli/options.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

extern char** environ;

namespace {

using testing_support::TempDir;
using Names = std::vector<std::string>;

// Noise, which the encoder cannot squeeze: a large output, written slowly.
void WriteNoise(const std::filesystem::path& path, int width, int height) {
  testing_support::JpegRecipe noise;
  noise.width = width;
  noise.height = height;
  noise.sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * 2654435761u ^ y * 40503u ^ c * 977u) >> 7);
  };
  testing_support::WriteJpeg(path, noise);
}

// The shell's single quotes take everything literally but a single quote itself.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

TEST(PixmeldCliTest, WordsExitStatusAndOutputsByTable) {
  TempDir dir;
  std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));  // for the user "nobody"
  testing_support::JpegRecipe photo;
  photo.width = 200;
  photo.height = 150;
  photo.quality = 50;  // small files: their sizes round to 0.0 MB
  testing_support::WriteJpeg(dir / "wide.jpg", photo);
  std::vector<unsigned char> cut = testing_support::MakeJpeg(photo);
  cut.resize(cut.size() / 2);
  testing_support::WriteBytes(dir / "cut.jpg", cut);
  for (const char* folder : {"a", "B", "c"}) {
    std::filesystem::create_directory(dir / folder);
    photo.height = folder[0];  // told apart by their height
    testing_support::WriteJpeg(dir / folder / "x.jpg", photo);
  }
  photo.height = 200;
  testing_support::WriteJpeg(dir / "tall.jpg", photo);
  testing_support::WriteBytes(dir / "bad.jpg", {'n', 'o', 'p', 'e'});
  WriteNoise(dir / "big.jpg", 800, 600);
  std::ofstream(dir / "list.txt", std::ios::binary) << (dir / "tall.jpg").string() << "\r\n\r\n"
                                                    << (dir / "missing.jpg").string() << "\n";
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
  }
  // In `arguments` and `text`, "D/" is the test's folder and "OUT" the output folder; "~" ends a summary
  // line with " 0.0 MB in, 0.0 MB out\n" and "@" stands for a NUL.
  const struct {
    Names arguments;  // after "-j1 -o OUT" (a later -o or -j wins)
    std::string input;
    int status;
    std::string text;  // standard output and error
    Names outputs;
    const char* tmpfs = nullptr;  // mounted on OUT, which holds an older big.jpg
    bool as_nobody = false;       // root writes anywhere whatever the mode
  } runs[] = {
      // clang-format off
      {{"-m100", "D/wide.jpg", "D/tall.jpg"}, "", 0, "2 written, 0 failed, 0 damaged;~", {"tall.jpg", "wide.jpg"}},
      {{"D/tall.jpg"}, "", 0, "", {"tall.jpg"}},
      {{"-j3", "D/c/x.jpg", "D/a/x.jpg", "D/B/x.jpg"}, "", 0, "3 written, 0 failed, 0 damaged;~", {"x.jpg"}},
      {{"D/bad.jpg", "D/cut.jpg", "D/missing.jpg"}, "", 1,
       "pixmeld-cli: D/bad.jpg: Error reading JPEG file (Not a JPEG file: starts with 0x6e 0x6f)\n"
       "pixmeld-cli: D/cut.jpg: written, but the photo is damaged (Premature end of JPEG file)\n"
       "pixmeld-cli: D/missing.jpg: Error reading JPEG file (No such file or directory)\n"
       "1 written, 2 failed, 1 damaged;~", {"cut.jpg"}},
      {{"-o", "D/", "D/wide.jpg", "D/tall.jpg"}, "", 1,
       "pixmeld-cli: D/tall.jpg: Error writing JPEG file (the destination is the source file itself)\n"
       "0 written, 1 failed, 0 damaged, 1 not tried;~", {}},
      {{"-0", "--files-from", "-", "-j3"}, "D/wide.jpg@@D/tall.jpg@", 0, "2 written, 0 failed, 0 damaged;~",
       {"tall.jpg", "wide.jpg"}},
      {{"--files-from=D/list.txt"}, "", 1, "pixmeld-cli: D/missing.jpg: Error reading JPEG file (No such file "
       "or directory)\n1 written, 1 failed, 0 damaged;~", {"tall.jpg"}},
      {{"-0", "--files-from", "-"}, "", 0, "", {}},
      {{"--files-from", "D/none", "D/wide.jpg"}, "", 1,
       "pixmeld-cli: cannot read the list of files D/none (No such file or directory)\n", {}},
      {{"-o", "D/wide.jpg/sub", "D/wide.jpg"}, "", 1, "pixmeld-cli: cannot create the output folder D/wide.jpg/sub\n", {}},
      {{"-m", "0", "D/wide.jpg"}, "", 2,
       "pixmeld-cli: --max-edge needs a whole number from 1 to 65500\nTry 'pixmeld-cli --help'.\n", {}},
      {{"--version"}, "", 0, "pixmeld-cli 1.0.0\n", {}},
      {{"-m2000", "D/big.jpg", "D/tall.jpg"}, "", 1, "pixmeld-cli: D/big.jpg: Error writing JPEG file (No space left "
       "on device)\n1 written, 1 failed, 0 damaged;~", {"big.jpg", "tall.jpg"}, "size=64k"},
      {{"-m2000", "D/big.jpg", "D/tall.jpg"}, "", 1, "pixmeld-cli: D/big.jpg: Error writing JPEG file (can't open "
       "OUT/big.jpg: No space left on device)\n0 written, 1 failed, 0 damaged, 1 not tried;~", {"big.jpg"},
       "size=64k,nr_inodes=2"},
      {{"D/big.jpg", "D/tall.jpg"}, "", 1, "pixmeld-cli: D/big.jpg: Error writing JPEG file (can't open "
       "OUT/big.jpg: Permission denied)\n0 written, 1 failed, 0 damaged, 1 not tried;~", {"big.jpg"},
       "size=64k,mode=0555", true},
      // clang-format on
  };
  for (std::size_t row = 0; row < std::size(runs); ++row) {
    const auto& run = runs[row];
    const auto out = dir / ("out" + std::to_string(row));
    const auto expand = [&](std::string text) {
      for (const auto& [from, to] : {std::pair<std::string, std::string>{"D/", (dir / "").string()},
                                     {"OUT", out.string()},
                                     {"~", " 0.0 MB in, 0.0 MB out\n"},
                                     {"@", {'\0'}}}) {
        for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
          text.replace(at, from.size(), to);
      }
      return text;
    };
    SCOPED_TRACE("row " + std::to_string(row));
    if (run.tmpfs && !root) {
      std::cout << "[  SKIPPED ] row " << row << ": needs root, to mount a tmpfs and to be another user\n";
      continue;
    }
    if (run.tmpfs) {
      std::filesystem::create_directory(out);
      ASSERT_EQ(mount("pixmeld-test", out.c_str(), "tmpfs", 0, run.tmpfs), 0);
      testing_support::WriteBytes(out / "big.jpg", {'o', 'l', 'd'});
    }
    std::string command = run.as_nobody ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    for (const std::string& argument : Names{PIXMELD_CLI_PATH, "-j1", "-o", out.string()})
      command += Quote(argument) + " ";
    for (const std::string& argument : run.arguments) command += Quote(expand(argument)) + " ";
    std::ofstream(dir / "stdin.txt", std::ios::binary) << expand(run.input);
    const int status =
        std::system((command + "<" + Quote((dir / "stdin.txt").string()) + " >" +
                     Quote((dir / "stdout.txt").string()) + " 2>" + Quote((dir / "stderr.txt").string()))
                        .c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, run.status);
    EXPECT_EQ(testing_support::ReadText(dir / "stdout.txt") + testing_support::ReadText(dir / "stderr.txt"),
              expand(run.text));
    EXPECT_EQ(std::filesystem::exists(out) ? TempDir::EntriesOf(out) : Names(), run.outputs);
    if (run.tmpfs) {
      EXPECT_EQ(testing_support::ReadBytes(out / "big.jpg"), (std::vector<unsigned char>{'o', 'l', 'd'}));
      umount2(out.c_str(), MNT_DETACH);
    }
  }
  EXPECT_EQ(testing_support::ReadJpegFacts(dir / "out0" / "wide.jpg").width, 100);
  EXPECT_EQ(testing_support::ReadJpegFacts(dir / "out0" / "tall.jpg").height, 100);
  EXPECT_EQ(testing_support::ReadJpegFacts(dir / "out1" / "tall.jpg").height, 200);
  EXPECT_EQ(testing_support::ReadJpegFacts(dir / "out2" / "x.jpg").height, 'c')
      << "the last in queue order wins";
}

// SIGINT, SIGTERM and SIGHUP leave no temporary file and end the program with 128 + the signal's number,
// with nameless temporary files and, through a preloaded library that refuses those, with named ones;
// SIGKILL leaves none either, since the file has no name until it is complete.
TEST(PixmeldCliTest, AKillMidWriteLeavesNoTemporaryFile) {
  TempDir dir;
  std::vector<std::string> arguments = {PIXMELD_CLI_PATH, "-m65500", "-j2", "-o", (dir / "out").string()};
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    WriteNoise(dir / name, 3000, 2000);
    arguments.push_back((dir / name).string());
  }
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const char* asan = std::getenv("ASAN_OPTIONS");
  setenv("ASAN_OPTIONS", ("verify_asan_link_order=0:" + std::string(asan ? asan : "")).c_str(), 1);
  for (const auto& [sent, named] : std::vector<std::pair<int, bool>>{
           {SIGTERM, true}, {SIGINT, true}, {SIGHUP, false}, {SIGKILL, false}}) {
    SCOPED_TRACE(std::string(strsignal(sent)) + (named ? ", named" : ", nameless"));
    std::filesystem::remove_all(dir / "out");
    std::filesystem::create_directory(dir / "out");
    if (named) setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    const pid_t child = fork();
    if (child == 0) {  // with the interrupts at their defaults: a test runner may have some ignored
      for (int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);
      sigset_t none;
      sigemptyset(&none);
      sigprocmask(SIG_SETMASK, &none, nullptr);
      dup2(open("/dev/null", O_WRONLY), 2);
      execv(argv[0], argv.data());
      _exit(127);
    }
    unsetenv("LD_PRELOAD");
    // Until it holds a file open in "out" (named or not): a photo is being written.
    const auto writing = [&] {
      std::error_code ended, gone;
      for (const auto& fd :
           std::filesystem::directory_iterator("/proc/" + std::to_string(child) + "/fd", ended))
        if (std::filesystem::read_symlink(fd.path(), gone).parent_path() == dir / "out") return true;
      return false;
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!writing() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    kill(child, sent);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(sent == SIGKILL ? WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL
                                : WIFEXITED(status) && WEXITSTATUS(status) == 128 + sent)
        << status;
    for (const std::string& name : TempDir::EntriesOf(dir / "out"))
      EXPECT_TRUE(name == "a.jpg" || name == "b.jpg" || name == "c.jpg") << name;
  }
}

}  // namespace

// pixmeld-cli as scripts use it, the real program run as a normal user (nobody, when the suite runs as
// root, as CI does): its words, its exit status and the files it writes, real write faults among them (a
// full disk and a folder that refuses new files, on tmpfs mounts in a mount namespace of the test's own,
// which disappear with it), its progress line on a terminal, and what a signal leaves behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
const bool kRoot = geteuid() == 0;

enum class Output {
  kFile,
  kTerminal
};  // standard output and error: log.txt, or a pseudo-terminal for errors

struct Ran {
  std::string ended, said;  // "exit 1" or "killed by signal 9"; what it said on standard output and error
};

// Runs pixmeld-cli with `arguments` as a normal user in `folder`, reading in.txt there, with the interrupts
// at their defaults (a test runner may ignore some) but SIGHUP ignored when `hup_ignored` (as nohup starts
// it), and named temporary files only when `named` (the preloaded library refuses nameless ones).
// `meanwhile` gets its process id while it runs.
Ran RunProgram(
    Names arguments, const fs::path& folder, Output output, bool hup_ignored = false, bool named = false,
    const std::function<void(pid_t)>& meanwhile = [](pid_t) {}) {
  std::vector<char*> argv = {const_cast<char*>(PIXMELD_CLI_PATH)};  // execv changes none of them
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  int terminal = -1;
  const pid_t child = output == Output::kTerminal ? forkpty(&terminal, nullptr, nullptr, nullptr) : fork();
  if (child == 0) {
    for (int number : {SIGINT, SIGTERM}) signal(number, SIG_DFL);
    signal(SIGHUP, hup_ignored ? SIG_IGN : SIG_DFL);
    if (named) setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    const char* asan = std::getenv("ASAN_OPTIONS");  // ASan would refuse a library loaded before its own
    setenv("ASAN_OPTIONS", ("verify_asan_link_order=0:" + std::string(asan ? asan : "")).c_str(), 1);
    if (chdir(folder.c_str()) != 0) _exit(125);
    dup2(open("in.txt", O_RDONLY), 0);
    // Both to log.txt; or the error stream alone, where the run reports, on the terminal forkpty gave them.
    dup2(output == Output::kFile ? open("log.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644) : 1, 2);
    dup2(output == Output::kFile ? 2 : open("/dev/null", O_WRONLY), 1);
    if (kRoot && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  if (child < 0) return {"not started", ""};
  meanwhile(child);
  std::string shown;
  char buffer[4096];  // all that the terminal shows, until the program has closed it
  for (ssize_t got; terminal >= 0 && (got = read(terminal, buffer, sizeof buffer)) > 0;)
    shown.append(buffer, got);
  if (terminal >= 0) close(terminal);
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                            : "killed by signal " + std::to_string(WTERMSIG(status)),
          terminal >= 0 ? shown : ts::ReadText(folder / "log.txt")};
}

struct Row {
  const char* name;
  Names arguments;  // after "pixmeld-cli -j1 -o OUT" (a later -o or -j wins); in.txt is standard input
  const char* ended;
  std::string said;
  Names outputs;  // in OUT
  Output output = Output::kFile;
};

class PixmeldCliTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(!kRoot || chown(dir_.path().c_str(), kNobody, kNobody) == 0);  // the user's own folder
    ts::Bytes odd = Jpeg(200, 150, false, {{JPEG_APP0 + 9, {'?'}}});  // a segment only traced by the library
    odd[11] = 2;  // an unknown JFIF major version: a library warning, but not damage
    ts::Bytes extraneous = Jpeg(200, 150);
    extraneous.insert(extraneous.begin() + 2, 3, 0);  // before the JFIF segment's marker
    for (const char* folder : {"a", "B", "c", "folder.jpg"}) fs::create_directory(dir_ / folder);
    const std::pair<std::string, ts::Bytes> kFiles[] = {
        // clang-format off
        {"wide.jpg", Jpeg(200, 150)}, {"tall.jpg", Jpeg(200, 300)}, {"odd.jpg", odd},
        // Above 64 KiB when written at -m2000.
        {"big.jpg", Jpeg(800, 600)}, {"extraneous.jpg", extraneous},
        // Three x.jpg, told apart by their heights.
        {"a/x.jpg", Jpeg(200, 'a')}, {"B/x.jpg", Jpeg(200, 'B')}, {"c/x.jpg", Jpeg(200, 'c')},
        // A lead byte, then ESC (a cut photo, to be turned); a lead byte, then LF.
        {"\xE2\x1b[2J.jpg", Jpeg(200, 150, true, {{JPEG_APP0 + 1, ts::ExifOrientationSegment(6)}})},
        {"\xC3\n.jpg", {}}, {"\x1b[2Jx.jpg", Jpeg(16, 16)},
        // clang-format on
    };
    for (const auto& [name, bytes] : kFiles) ts::WriteBytes(dir_ / name, bytes);
    std::ofstream(dir_ / "in.txt", std::ios::binary) << std::string("wide.jpg\0\0tall.jpg\0", 19);
  }

  // Small files at quality 50 (sizes that round to 0.0 MB) unless big. A cut one keeps its first half.
  static ts::Bytes Jpeg(int width, int height, bool cut = false,
                        std::vector<std::pair<int, ts::Bytes>> markers = {}) {
    ts::JpegRecipe photo;
    photo.quality = 50, photo.width = width, photo.height = height, photo.markers = std::move(markers);
    ts::Bytes bytes = ts::MakeJpeg(photo);
    return ts::Bytes(bytes.begin(), bytes.begin() + (cut ? bytes.size() / 2 : bytes.size()));
  }

  void Check(const Row& row, const std::string& out) {
    SCOPED_TRACE(row.name);
    Names arguments = {"-j1", "-o", out};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const Ran ran = RunProgram(arguments, dir_.path(), row.output);
    EXPECT_EQ(ran.ended, row.ended);
    EXPECT_EQ(ran.said, row.said);
    EXPECT_EQ(fs::exists(dir_ / out) ? ts::TempDir::EntriesOf(dir_ / out) : Names(), row.outputs);
  }

  ts::TempDir dir_;
  const std::string mb_ = " 0.0 MB in, 0.0 MB out\n";  // ends every summary
};

// Names relative to the program's folder, as a user types them. On a terminal (which turns "\n" into
// "\r\n"), a failure's line starts on a clean line, the progress line cleared first, and the progress line
// comes back after it; at the end it is cleared for the summary, or for nothing when one photo was written.
TEST_F(PixmeldCliTest, WordsExitStatusAndOutputsByTable) {
  const std::string ok = ", 0 failed, 0 damaged;" + mb_, damaged = ": written, but the photo is damaged (",
                    clear = "\r\x1b[K", done = clear + "[";
  const Row kRows[] = {
      // clang-format off
    {"a NUL-separated list on standard input", {"-0", "--files-from", "-"}, "exit 0",
     "2 written" + ok, {"tall.jpg", "wide.jpg"}},
    {"one name thrice", {"-j3", "c/x.jpg", "a/x.jpg", "B/x.jpg"}, "exit 0", "3 written" + ok, {"x.jpg"}},
    {"one photo, no damage, nothing to say", {"odd.jpg"}, "exit 0", "", {"odd.jpg"}},
    {"bytes before a marker", {"extraneous.jpg"}, "exit 0", "pixmeld-cli: extraneous.jpg" + damaged +
     "Corrupt JPEG data: 3 extraneous bytes before marker 0xe0)\n1 written, 0 failed, 1 damaged;" + mb_,
     {"extraneous.jpg"}},
    {"broken UTF-8 around control bytes, damaged and turned", {"\xE2\x1b[2J.jpg", "\xC3\n.jpg"}, "exit 1",
     "pixmeld-cli: \\xc3\\n.jpg: Error reading JPEG file (Empty input file)\npixmeld-cli: \\xe2\\x1b[2J.jpg" +
     damaged + "Premature end of JPEG file)\n1 written, 1 failed, 1 damaged;" + mb_, {"\xE2\x1b[2J.jpg"}},
    {"a list that is missing", {"--files-from", "none", "wide.jpg"}, "exit 1",
     "pixmeld-cli: cannot read the list of files none (No such file or directory)\n", {}},
    {"a usage error", {"-m", "0", "wide.jpg"}, "exit 2",
     "pixmeld-cli: --max-edge needs a whole number from 1 to 65500\nTry 'pixmeld-cli --help'.\n", {}},
    {"on a terminal, a folder given as a photo", {"-m500", "tall.jpg", "folder.jpg", "big.jpg"}, "exit 1",
     done + "1/3] done: big.jpg" + clear + "pixmeld-cli: folder.jpg: Error reading JPEG file (Is a directory)"
     "\r\n" + done + "2/3] done: folder.jpg" + done + "3/3] done: tall.jpg" + clear +
     "2 written, 1 failed, 0 damaged; 0.2 MB in, 0.1 MB out\r\n", {"big.jpg", "tall.jpg"}, Output::kTerminal},
    {"on a terminal, one photo", {"\x1b[2Jx.jpg"}, "exit 0", done + "1/1] done: \\x1b[2Jx.jpg" + clear,
     {"\x1b[2Jx.jpg"}, Output::kTerminal},
      // clang-format on
  };
  for (const Row& row : kRows) Check(row, row.name);
  const auto height = [&](const std::string& photo) { return ts::ReadJpegFacts(dir_ / photo).height; };
  EXPECT_EQ(height("one name thrice/x.jpg"), 'c') << "the last one in queue order wins";
  EXPECT_EQ(height("broken UTF-8 around control bytes, damaged and turned/\xE2\x1b[2J.jpg"), 200) << "turned";
}

// In a mount namespace of the test's own, OUT a tmpfs that holds an older big.jpg, which is kept.
TEST_F(PixmeldCliTest, WriteFaultsOnTmpfs) {
  if (!kRoot) GTEST_SKIP() << "needs root to mount a tmpfs and to run the program as another user";
  ASSERT_EQ(unshare(CLONE_NEWNS), 0);
  ASSERT_EQ(mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
  const std::pair<const char*, Row> kFaults[] = {
      // clang-format off
    {"size=64k", {"a full disk", {"-m2000", "big.jpg", "tall.jpg"}, "exit 1", "pixmeld-cli: big.jpg: Error "
     "writing JPEG file (No space left on device)\n1 written, 1 failed, 0 damaged;" + mb_,
     {"big.jpg", "tall.jpg"}}},
    {"size=64k,mode=0555", {"a folder that refuses new files stops the run", {"big.jpg", "tall.jpg"},
     "exit 1", "pixmeld-cli: big.jpg: Error writing JPEG file (can't open disk/big.jpg: Permission denied)\n"
     "0 written, 1 failed, 0 damaged, 1 not tried;" + mb_, {"big.jpg"}}},
      // clang-format on
  };
  const fs::path disk = dir_ / "disk";
  fs::create_directory(disk);
  for (const auto& [options, row] : kFaults) {
    ASSERT_EQ(mount("pixmeld-test", disk.c_str(), "tmpfs", 0, options), 0);
    ts::WriteBytes(disk / "big.jpg", {'o', 'l', 'd'});
    Check(row, "disk");
    EXPECT_EQ(ts::ReadBytes(disk / "big.jpg"), (ts::Bytes{'o', 'l', 'd'})) << row.name;
    umount2(disk.c_str(), MNT_DETACH);
  }
}

// A signal once a photo is complete, in a run with two jobs and named temporary files: the photos finished
// stay whole and keep their names, those under way leave no temporary file, and the program ends with 128 +
// the signal's number. SIGHUP ignored at the start (nohup) stays ignored.
TEST_F(PixmeldCliTest, ASignalKeepsFinishedPhotosAndLeavesNoTemporaryFile) {
  const fs::path out = dir_ / "out", whole = dir_ / "whole";
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) ts::WriteBytes(dir_ / name, Jpeg(3000, 2000));
  const struct {
    std::string name, ended;
    int signal;
    bool hup_ignored;
  } kKills[] = {
      // First: its photos are the whole ones that the others' are compared with.
      {"SIGHUP ignored at the start: all written", "exit 0", SIGHUP, true},
      {"SIGINT", "exit 130", SIGINT, false},
      {"SIGHUP", "exit 129", SIGHUP, false},
  };
  for (const auto& kill : kKills) {
    SCOPED_TRACE(kill.name);
    fs::remove_all(out);
    const auto once_a_photo_is_complete = [&](pid_t child) {
      for (int ms = 0; ms < 20000 && !fs::exists(out / "a.jpg") && !fs::exists(out / "b.jpg"); ++ms)
        usleep(1000);
      ::kill(child, kill.signal);
    };
    const Ran ran = RunProgram({"-m65500", "-j2", "-o", "out", "a.jpg", "b.jpg", "c.jpg"}, dir_.path(),
                               Output::kFile, kill.hup_ignored, true, once_a_photo_is_complete);
    EXPECT_EQ(ran.ended, kill.ended);
    if (!fs::exists(whole)) {
      EXPECT_EQ(ts::TempDir::EntriesOf(out), (Names{"a.jpg", "b.jpg", "c.jpg"}));
      fs::rename(out, whole);
    }
    for (const std::string& name : fs::exists(out) ? ts::TempDir::EntriesOf(out) : Names())
      EXPECT_TRUE(fs::exists(whole / name) && ts::ReadBytes(out / name) == ts::ReadBytes(whole / name))
          << name << ": a temporary file is left, or a photo that is not whole";
  }
}

}  // namespace

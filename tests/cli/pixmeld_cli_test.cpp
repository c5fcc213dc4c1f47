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
using ts::TempDir;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
const bool kRoot = geteuid() == 0;

// Starts pixmeld-cli with `arguments` as a normal user in `folder`, reading in.txt and writing out.txt and
// err.txt there, with the interrupts at their defaults (a test runner may ignore some) but SIGHUP ignored
// when `hup_ignored` (as nohup starts it), and named temporary files only when `named` (the preloaded library
// refuses nameless ones).
pid_t Start(Names arguments, const fs::path& folder, bool hup_ignored = false, bool named = false) {
  arguments.insert(arguments.begin(), PIXMELD_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    for (int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);
    if (hup_ignored) signal(SIGHUP, SIG_IGN);
    if (named) setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    const char* asan = std::getenv("ASAN_OPTIONS");  // ASan would refuse a library loaded before its own
    setenv("ASAN_OPTIONS", ("verify_asan_link_order=0:" + std::string(asan ? asan : "")).c_str(), 1);
    if (chdir(folder.c_str()) != 0) _exit(125);
    dup2(open("in.txt", O_RDONLY), 0);
    dup2(open("out.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    if (kRoot && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(126);
    execv(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

// "exit 1", or "killed by signal 9".
std::string Ended(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child) return "not a child";
  return WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                           : "killed by signal " + std::to_string(WTERMSIG(status));
}

struct Row {
  const char* name;
  Names arguments;  // after "pixmeld-cli -j1 -o OUT" (a later -o or -j wins); in.txt is standard input
  const char* ended;
  std::string said;  // on standard output and error
  Names outputs;     // in OUT
};

class PixmeldCliTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(!kRoot || chown(dir_.path().c_str(), kNobody, kNobody) == 0);  // the user's own folder
    // Small files: their sizes round to 0.0 MB. A cut one keeps its first half.
    const auto jpeg = [](int width, int height, bool cut = false,
                         std::vector<std::pair<int, ts::Bytes>> markers = {}) {
      ts::JpegRecipe photo;
      photo.quality = 50, photo.width = width, photo.height = height, photo.markers = std::move(markers);
      ts::Bytes bytes = ts::MakeJpeg(photo);
      return ts::Bytes(bytes.begin(), bytes.begin() + (cut ? bytes.size() / 2 : bytes.size()));
    };
    // An APP9 segment and an EXIF whose byte order is neither, both only traced by the library.
    ts::Bytes exif = ts::ExifOrientationSegment(6);
    exif[6] = 'Z';
    ts::Bytes odd = jpeg(200, 150, false, {{JPEG_APP0 + 9, {'?'}}, {JPEG_APP0 + 1, exif}});
    odd[11] = 2;  // an unknown JFIF major version: a library warning, but not damage
    ts::Bytes extraneous = jpeg(200, 150);
    extraneous.insert(extraneous.begin() + 2, 3, 0);  // before the JFIF segment's marker
    for (const char* folder : {"a", "B", "c", "folder.jpg"}) fs::create_directory(dir_ / folder);
    const std::pair<std::string, ts::Bytes> kFiles[] = {
        // clang-format off
        {"wide.jpg", jpeg(200, 150)}, {"tall.jpg", jpeg(200, 300)}, {"odd.jpg", odd},
        // Above 64 KiB when written at -m2000.
        {"big.jpg", jpeg(800, 600)}, {"extraneous.jpg", extraneous},
        // Three x.jpg, told apart by their heights.
        {"a/x.jpg", jpeg(200, 'a')}, {"B/x.jpg", jpeg(200, 'B')}, {"c/x.jpg", jpeg(200, 'c')},
        {"cut.jpg", jpeg(200, 150, true)},
        {"turned-cut.jpg", jpeg(200, 150, true, {{JPEG_APP0 + 1, ts::ExifOrientationSegment(6)}})},
        // A lead byte, then ESC; a lead byte, then LF.
        {"\xE2\x1b[2J.jpg", jpeg(200, 150, true)}, {"\xC3\n.jpg", {}}, {"\x1b[2Jx.jpg", jpeg(16, 16)},
        // clang-format on
    };
    for (const auto& [name, bytes] : kFiles) ts::WriteBytes(dir_ / name, bytes);
    std::ofstream(dir_ / "in.txt", std::ios::binary) << std::string("wide.jpg\0\0tall.jpg\0", 19);
  }

  void Check(const Row& row, const std::string& out) {
    SCOPED_TRACE(row.name);
    Names arguments = {"-j1", "-o", out};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    EXPECT_EQ(Ended(Start(arguments, dir_.path())), row.ended);
    EXPECT_EQ(ts::ReadText(dir_ / "out.txt") + ts::ReadText(dir_ / "err.txt"), row.said);
    EXPECT_EQ(fs::exists(dir_ / out) ? TempDir::EntriesOf(dir_ / out) : Names(), row.outputs);
  }

  TempDir dir_;
  const std::string mb_ = " 0.0 MB in, 0.0 MB out\n";  // ends every summary
};

// Names relative to the program's folder, as a user types them.
TEST_F(PixmeldCliTest, WordsExitStatusAndOutputsByTable) {
  const std::string ok = ", 0 failed, 0 damaged;" + mb_, damaged = ": written, but the photo is damaged (",
                    cut = "Premature end of JPEG file)\n", one = "1 written, 0 failed, 1 damaged;" + mb_;
  const Row kRows[] = {
      // clang-format off
    {"shrunk", {"-m100", "wide.jpg", "tall.jpg"}, "exit 0", "2 written" + ok, {"tall.jpg", "wide.jpg"}},
    {"one name thrice", {"-j3", "c/x.jpg", "a/x.jpg", "B/x.jpg"}, "exit 0", "3 written" + ok, {"x.jpg"}},
    {"one photo, no damage, nothing to say", {"odd.jpg"}, "exit 0", "", {"odd.jpg"}},
    {"one damaged photo", {"cut.jpg"}, "exit 0", "pixmeld-cli: cut.jpg" + damaged + cut + one, {"cut.jpg"}},
    {"damaged and turned", {"turned-cut.jpg"}, "exit 0", "pixmeld-cli: turned-cut.jpg" + damaged + cut + one,
     {"turned-cut.jpg"}},
    {"bytes before a marker", {"extraneous.jpg"}, "exit 0", "pixmeld-cli: extraneous.jpg" + damaged +
     "Corrupt JPEG data: 3 extraneous bytes before marker 0xe0)\n" + one, {"extraneous.jpg"}},
    {"a folder given as a photo", {"folder.jpg"}, "exit 1", "pixmeld-cli: folder.jpg: Error reading JPEG "
     "file (Is a directory)\n0 written, 1 failed, 0 damaged;" + mb_, {}},
    {"broken UTF-8 around control bytes", {"\xE2\x1b[2J.jpg", "\xC3\n.jpg"}, "exit 1",
     "pixmeld-cli: \\xc3\\n.jpg: Error reading JPEG file (Empty input file)\npixmeld-cli: \\xe2\\x1b[2J.jpg" +
     damaged + cut + "1 written, 1 failed, 1 damaged;" + mb_, {"\xE2\x1b[2J.jpg"}},
    {"a NUL-separated list on standard input", {"-0", "--files-from", "-"}, "exit 0", "2 written" + ok,
     {"tall.jpg", "wide.jpg"}},
    {"a list that is missing", {"--files-from", "none", "wide.jpg"}, "exit 1",
     "pixmeld-cli: cannot read the list of files none (No such file or directory)\n", {}},
    {"an output folder under a file", {"-o", "cut.jpg/x", "wide.jpg"}, "exit 1",
     "pixmeld-cli: cannot create the output folder cut.jpg/x\n", {}},
    {"a usage error", {"-m", "0", "wide.jpg"}, "exit 2",
     "pixmeld-cli: --max-edge needs a whole number from 1 to 65500\nTry 'pixmeld-cli --help'.\n", {}},
      // clang-format on
  };
  for (const Row& row : kRows) Check(row, row.name);
  EXPECT_EQ(ts::ReadJpegFacts(dir_ / "shrunk/tall.jpg").height, 100) << "-m100";
  EXPECT_EQ(ts::ReadJpegFacts(dir_ / "one name thrice/x.jpg").height, 'c')
      << "the last one in queue order wins";
  EXPECT_EQ(ts::ReadJpegFacts(dir_ / "damaged and turned/turned-cut.jpg").height, 200) << "turned";
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

// On a terminal (which turns "\n" into "\r\n"), a failure's line starts on a clean line, the progress
// line cleared first, and the progress line comes back after it; at the end it is cleared for the summary,
// or for nothing when one photo was written.
TEST_F(PixmeldCliTest, OnATerminalTheProgressLineMakesRoomForOtherLinesAndGoesAtTheEnd) {
  const auto shown_on_terminal = [&](const Names& arguments, const char* ended) {
    int terminal = -1, program_side = -1;
    EXPECT_EQ(openpty(&terminal, &program_side, nullptr, nullptr, nullptr), 0);
    fs::remove(dir_ / "err.txt");
    fs::create_symlink(ttyname(program_side), dir_ / "err.txt");  // Start opens it for standard error
    const pid_t child = Start(arguments, dir_.path());
    close(program_side);  // the terminal reads until the program has closed its side
    std::string shown;
    char buffer[4096];
    for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
    close(terminal);
    EXPECT_EQ(Ended(child), ended);
    return shown;
  };
  const std::string clear = "\r\x1b[K", done = clear + "[";
  // clang-format off
  EXPECT_EQ(shown_on_terminal({"-j1", "-m500", "-o", "out", "tall.jpg", "folder.jpg", "big.jpg"}, "exit 1"),
            done + "1/3] done: big.jpg" + clear + "pixmeld-cli: folder.jpg: Error reading JPEG file "
            "(Is a directory)\r\n" + done + "2/3] done: folder.jpg" + done + "3/3] done: tall.jpg" + clear +
            "2 written, 1 failed, 0 damaged; 0.2 MB in, 0.1 MB out\r\n");
  // clang-format on
  EXPECT_EQ(shown_on_terminal({"-o", "out", "\x1b[2Jx.jpg"}, "exit 0"),
            done + "1/1] done: \\x1b[2Jx.jpg" + clear);
}

// A signal in the middle of a run with two jobs: the photos finished stay whole and keep their names, those
// under way leave no temporary file, named or nameless, and the program ends with 128 + the signal's
// number; SIGKILL leaves none either, since the file has no name until it is complete. SIGHUP ignored
// at the start (nohup) stays ignored.
TEST_F(PixmeldCliTest, ASignalKeepsFinishedPhotosAndLeavesNoTemporaryFile) {
  const fs::path out = dir_ / "out", whole = dir_ / "whole";
  ts::JpegRecipe photo;  // at full size: a write that takes a while
  photo.width = 3000, photo.height = 2000;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) ts::WriteJpeg(dir_ / name, photo);
  const auto writing = [&](pid_t child) {  // a file open in OUT, named or not
    std::error_code ended, gone;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ended))
      if (fs::read_symlink(fd.path(), gone).parent_path() == out) return true;
    return false;
  };
  const struct {
    const char* name;
    int signal;
    // Sent once a photo is complete, else while the first ones are written.
    bool after_a_photo, hup_ignored, named;
    const char* ended;
  } kKills[] = {
      // First: its photos are the whole ones that the others' are compared with.
      {"SIGHUP ignored at the start: all written", SIGHUP, true, true, true, "exit 0"},
      {"SIGTERM while writing, named", SIGTERM, false, false, true, "exit 143"},
      {"SIGINT once a photo is complete, named", SIGINT, true, false, true, "exit 130"},
      {"SIGHUP once a photo is complete, nameless", SIGHUP, true, false, false, "exit 129"},
      {"SIGKILL while writing, nameless", SIGKILL, false, false, false, "killed by signal 9"},
  };
  for (const auto& kill : kKills) {
    SCOPED_TRACE(kill.name);
    fs::remove_all(out);
    const pid_t child = Start({"-m65500", "-j2", "-o", "out", "a.jpg", "b.jpg", "c.jpg"}, dir_.path(),
                              kill.hup_ignored, kill.named);
    for (int ms = 0; ms < 20000; ++ms, usleep(1000))
      if (kill.after_a_photo ? fs::exists(out / "a.jpg") || fs::exists(out / "b.jpg") : writing(child)) break;
    ::kill(child, kill.signal);
    EXPECT_EQ(Ended(child), kill.ended);
    if (!fs::exists(whole)) {
      EXPECT_EQ(TempDir::EntriesOf(out), (Names{"a.jpg", "b.jpg", "c.jpg"}));
      fs::rename(out, whole);
    }
    for (const std::string& name : fs::exists(out) ? TempDir::EntriesOf(out) : Names()) {
      EXPECT_TRUE(fs::exists(whole / name)) << name << ": a temporary file is left";
      EXPECT_TRUE(ts::ReadBytes(out / name) == ts::ReadBytes(whole / name)) << name << " is not whole";
    }
  }
}

}  // namespace

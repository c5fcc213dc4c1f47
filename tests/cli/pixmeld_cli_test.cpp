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

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
namespace ts = testing_support;
using ts::TempDir;
using Names = std::vector<std::string>;

constexpr uid_t kNobody = 65534;
const bool kRoot = geteuid() == 0;

struct How {
  bool as_root = false;      // else as nobody when the suite runs as root
  bool hup_ignored = false;  // as nohup starts it; SIGINT and SIGTERM at their defaults all the same
  bool named = false;        // the preloaded library refuses nameless temporary files (O_TMPFILE)
  int standard_error = -1;   // else err.txt
};

// Starts pixmeld-cli with `arguments`, reading in.txt and writing out.txt and err.txt in `folder`.
pid_t Start(Names arguments, const fs::path& folder, How how = {}) {
  arguments.insert(arguments.begin(), PIXMELD_CLI_PATH);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    for (int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);  // a runner may ignore some
    if (how.hup_ignored) signal(SIGHUP, SIG_IGN);
    if (how.named) {
      const char* asan = std::getenv("ASAN_OPTIONS");
      setenv("ASAN_OPTIONS", ("verify_asan_link_order=0:" + std::string(asan ? asan : "")).c_str(), 1);
      setenv("LD_PRELOAD", NO_UNNAMED_FILES_PATH, 1);
    }
    dup2(open((folder / "in.txt").c_str(), O_RDONLY), 0);
    dup2(open((folder / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(how.standard_error >= 0 ? how.standard_error
                                 : open((folder / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
         2);
    if (kRoot && !how.as_root && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(126);
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

struct Output {
  std::string name;
  int width = 0, height = 0;  // as written; {name} alone for a file the run leaves as it was
};

struct Row {
  const char* name;
  Names arguments;  // after "pixmeld-cli -j1 -o OUT" (a later -o or -j wins)
  std::string input;
  const char* ended;
  std::string said;             // on standard output and error
  std::vector<Output> outputs;  // what OUT holds, by name
};

class PixmeldCliTest : public testing::Test {
 protected:
  void SetUp() override {
    // A folder its user may write in.
    ASSERT_TRUE(!kRoot || chown(dir_.path().c_str(), kNobody, kNobody) == 0);
    const auto jpeg = [](int width, int height, std::vector<std::pair<int, ts::Bytes>> markers = {}) {
      ts::JpegRecipe photo;
      photo.quality = 50;  // small files: their sizes round to 0.0 MB
      photo.width = width, photo.height = height, photo.markers = std::move(markers);
      return ts::MakeJpeg(photo);
    };
    const auto half = [](ts::Bytes bytes) {
      return ts::Bytes(bytes.begin(), bytes.begin() + bytes.size() / 2);
    };
    ts::WriteBytes(dir_ / "wide.jpg", jpeg(200, 150));
    ts::WriteBytes(dir_ / "tall.jpg", jpeg(200, 300));
    ts::WriteBytes(dir_ / "big.jpg", jpeg(800, 600));  // above 64 KiB when written at -m2000
    for (const char* folder : {"a", "B", "c"}) {       // three x.jpg, told apart by their heights
      fs::create_directory(dir_ / folder);
      ts::WriteBytes(dir_ / folder / "x.jpg", jpeg(200, folder[0]));
    }
    fs::create_directory(dir_ / "folder.jpg");
    ts::WriteBytes(dir_ / "cut.jpg", half(jpeg(200, 150)));
    ts::WriteBytes(dir_ / "turned-cut.jpg",
                   half(jpeg(200, 150, {{JPEG_APP0 + 1, ts::ExifOrientationSegment(6)}})));
    ts::Bytes extraneous = jpeg(200, 150);
    extraneous.insert(extraneous.begin() + 2, 3, 0);  // before the JFIF segment's marker
    ts::WriteBytes(dir_ / "extraneous.jpg", extraneous);
    // An unknown JFIF revision (a library warning), an APP9 segment and an EXIF whose byte order is
    // neither (both only traced by the library): none of them damage.
    ts::Bytes exif = ts::ExifOrientationSegment(6);
    exif[6] = 'Z';
    ts::Bytes odd = jpeg(200, 150, {{JPEG_APP0 + 9, {'?'}}, {JPEG_APP0 + 1, exif}});
    odd[11] = 2;  // the JFIF major version
    ts::WriteBytes(dir_ / "odd.jpg", odd);
    ts::WriteBytes(dir_ / "\xE2\x1b[2J.jpg", half(jpeg(200, 150)));  // a lead byte, then ESC
    ts::WriteBytes(dir_ / "\xC3\n.jpg", {});
  }

  void Check(const Row& row, const fs::path& out) {
    SCOPED_TRACE(row.name);
    Names arguments = {"-j1", "-o", out.string()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    std::ofstream(dir_ / "in.txt", std::ios::binary) << row.input;
    EXPECT_EQ(Ended(Start(arguments, dir_.path())), row.ended);
    EXPECT_EQ(ts::ReadText(dir_ / "out.txt") + ts::ReadText(dir_ / "err.txt"), row.said);
    Names names;
    for (const Output& output : row.outputs) names.push_back(output.name);
    EXPECT_EQ(fs::exists(out) ? TempDir::EntriesOf(out) : Names(), names);
    for (const Output& output : row.outputs) {
      if (output.width == 0) continue;
      const ts::JpegFacts facts = ts::ReadJpegFacts(out / output.name);
      EXPECT_EQ(facts.width, output.width) << output.name;
      EXPECT_EQ(facts.height, output.height) << output.name;
    }
  }

  // REQUIRES: root, to mount; the test skips otherwise. OUT is a tmpfs mounted with `options` that holds
  // an older big.jpg, which must be kept.
  void CheckOnTmpfs(const char* options, const Row& row) {
    if (!kRoot) GTEST_SKIP() << "needs root to mount a tmpfs and to run the program as another user";
    ASSERT_EQ(unshare(CLONE_NEWNS), 0);
    ASSERT_EQ(mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr), 0);
    const fs::path disk = dir_ / "disk";
    fs::create_directory(disk);
    ASSERT_EQ(mount("pixmeld-test", disk.c_str(), "tmpfs", 0, options), 0);
    ts::WriteBytes(disk / "big.jpg", {'o', 'l', 'd'});
    Check(row, disk);
    EXPECT_EQ(ts::ReadBytes(disk / "big.jpg"), (ts::Bytes{'o', 'l', 'd'}));
    umount2(disk.c_str(), MNT_DETACH);
  }

  TempDir dir_;
  // `in` starts the path of an input, `says` an error line about one, `mb` ends every summary.
  const std::string in_ = (dir_ / "").string(), says_ = "pixmeld-cli: " + in_,
                    mb_ = " 0.0 MB in, 0.0 MB out\n";
};

TEST_F(PixmeldCliTest, WordsExitStatusAndOutputsByTable) {
  const std::string nul(1, '\0'), ok = ", 0 failed, 0 damaged;" + mb_;
  const std::string damaged = ": written, but the photo is damaged (";
  const Row kRows[] = {
      // clang-format off
    {"two photos shrunk", {"-m100", in_ + "wide.jpg", in_ + "tall.jpg"}, "", "exit 0", "2 written" + ok,
     {{"tall.jpg", 66, 100}, {"wide.jpg", 100, 75}}},
    {"one name thrice: the last in queue order wins", {"-j3", in_ + "c/x.jpg", in_ + "a/x.jpg", in_ + "B/x.jpg"},
     "", "exit 0", "3 written" + ok, {{"x.jpg", 200, 'c'}}},
    {"one photo and nothing to say", {in_ + "odd.jpg"}, "", "exit 0", "", {{"odd.jpg", 200, 150}}},
    {"one damaged photo: its line and a summary", {in_ + "cut.jpg"}, "", "exit 0", says_ + "cut.jpg" + damaged +
     "Premature end of JPEG file)\n1 written, 0 failed, 1 damaged;" + mb_, {{"cut.jpg", 200, 150}}},
    {"damaged and turned", {in_ + "turned-cut.jpg"}, "", "exit 0", says_ + "turned-cut.jpg" + damaged +
     "Premature end of JPEG file)\n1 written, 0 failed, 1 damaged;" + mb_, {{"turned-cut.jpg", 150, 200}}},
    {"bytes before a marker are damage", {in_ + "extraneous.jpg"}, "", "exit 0", says_ + "extraneous.jpg" + damaged +
     "Corrupt JPEG data: 3 extraneous bytes before marker 0xe0)\n1 written, 0 failed, 1 damaged;" + mb_,
     {{"extraneous.jpg", 200, 150}}},
    {"a folder given as a photo", {in_ + "folder.jpg"}, "", "exit 1", says_ + "folder.jpg: Error reading JPEG file "
     "(Is a directory)\n0 written, 1 failed, 0 damaged;" + mb_, {}},
    {"names with broken UTF-8 around control bytes", {in_ + "\xE2\x1b[2J.jpg", in_ + "\xC3\n.jpg"}, "", "exit 1",
     says_ + "\\xc3\\n.jpg: Error reading JPEG file (Empty input file)\n" + says_ + "\\xe2\\x1b[2J.jpg" + damaged +
     "Premature end of JPEG file)\n1 written, 1 failed, 1 damaged;" + mb_, {{"\xE2\x1b[2J.jpg", 200, 150}}},
    {"a NUL-separated list on standard input", {"-0", "--files-from", "-"},
     in_ + "wide.jpg" + nul + nul + in_ + "tall.jpg" + nul, "exit 0", "2 written" + ok,
     {{"tall.jpg", 200, 300}, {"wide.jpg", 200, 150}}},
    {"an empty list", {"-0", "--files-from", "-"}, "", "exit 0", "", {}},
    {"a list that is missing", {"--files-from", in_ + "none", in_ + "wide.jpg"}, "", "exit 1",
     "pixmeld-cli: cannot read the list of files " + in_ + "none (No such file or directory)\n", {}},
    {"an output folder under a file", {"-o", in_ + "cut.jpg/x", in_ + "wide.jpg"}, "", "exit 1",
     "pixmeld-cli: cannot create the output folder " + in_ + "cut.jpg/x\n", {}},
    {"a usage error", {"-m", "0", in_ + "wide.jpg"}, "", "exit 2",
     "pixmeld-cli: --max-edge needs a whole number from 1 to 65500\nTry 'pixmeld-cli --help'.\n", {}},
      // clang-format on
  };
  for (std::size_t row = 0; row < std::size(kRows); ++row)
    Check(kRows[row], dir_ / ("out" + std::to_string(row)));
}

TEST_F(PixmeldCliTest, AFullDiskFailsThePhotoThatDoesNotFitAndKeepsTheOlderFile) {
  CheckOnTmpfs("size=64k", {"a full disk",
                            {"-m2000", in_ + "big.jpg", in_ + "tall.jpg"},
                            "",
                            "exit 1",
                            says_ +
                                "big.jpg: Error writing JPEG file (No space left on device)\n"
                                "1 written, 1 failed, 0 damaged;" +
                                mb_,
                            {{"big.jpg"}, {"tall.jpg", 200, 300}}});
}

TEST_F(PixmeldCliTest, AFolderThatRefusesNewFilesStopsTheRun) {
  CheckOnTmpfs("size=64k,mode=0555",
               {"a read-only folder",
                {in_ + "big.jpg", in_ + "tall.jpg"},
                "",
                "exit 1",
                says_ + "big.jpg: Error writing JPEG file (can't open " + in_ +
                    "disk/big.jpg: Permission denied)\n0 written, 1 failed, 0 damaged, 1 not tried;" + mb_,
                {{"big.jpg"}}});
}

// On a terminal (which turns "\n" into "\r\n"), a failure's line starts on a clean line, the progress
// line cleared first, and the progress line comes back after it.
TEST_F(PixmeldCliTest, OnATerminalAFailureLineClearsTheProgressLineFirst) {
  int terminal = -1, program_side = -1;
  ASSERT_EQ(openpty(&terminal, &program_side, nullptr, nullptr, nullptr), 0);
  How how;
  how.standard_error = program_side;
  const pid_t child = Start(
      {"-j1", "-m100", "-o", (dir_ / "out").string(), in_ + "tall.jpg", in_ + "folder.jpg", in_ + "big.jpg"},
      dir_.path(), how);
  close(program_side);
  std::string shown;
  char buffer[4096];
  for (ssize_t got; (got = read(terminal, buffer, sizeof buffer)) > 0;) shown.append(buffer, got);
  close(terminal);
  EXPECT_EQ(Ended(child), "exit 1");
  const std::string clear = "\r\x1b[K", done = clear + "[";
  EXPECT_EQ(shown, done + "1/3] done: " + in_ + "big.jpg" + clear + says_ +
                       "folder.jpg: Error reading JPEG file (Is a directory)\r\n" + done +
                       "2/3] done: " + in_ + "folder.jpg" + done + "3/3] done: " + in_ + "tall.jpg" + clear +
                       "2 written, 1 failed, 0 damaged; 0.2 MB in, 0.0 MB out\r\n");
}

// A signal in the middle of a run with two jobs: the photos finished stay whole and keep their names, those
// under way leave no temporary file, named or nameless, and the program ends with 128 + the signal's
// number; SIGKILL leaves none either, since the file has no name until it is complete. SIGHUP ignored
// at the start (nohup) stays ignored.
TEST_F(PixmeldCliTest, ASignalKeepsFinishedPhotosAndLeavesNoTemporaryFile) {
  const fs::path out = dir_ / "out", whole = dir_ / "whole";
  Names arguments = {"-m65500", "-j2", "-o", out.string()};
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
    ts::JpegRecipe photo;  // at full size: a write that takes a while
    photo.width = 3000, photo.height = 2000;
    ts::WriteJpeg(dir_ / name, photo);
    arguments.push_back((dir_ / name).string());
  }
  const auto open_in_out = [&](pid_t child) {  // a photo is being written: a file open in OUT
    std::error_code ended, gone;
    for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd", ended))
      if (fs::read_symlink(fd.path(), gone).parent_path() == out) return true;
    return false;
  };
  const auto complete = [&] {  // a photo is complete
    std::error_code none;
    for (const auto& entry : fs::directory_iterator(out, none))
      if (entry.path().filename().string().size() == 5) return true;
    return false;
  };
  const struct {
    const char* name;
    int signal;
    bool after_a_photo;  // sent once a photo is complete, else while the first ones are written
    How how;
    const char* ended;
  } kKills[] = {
      // First: its photos are the whole ones that the others' are compared with.
      {"SIGHUP ignored at the start: all written", SIGHUP, true, {false, true, true}, "exit 0"},
      {"SIGTERM while writing, as root, named", SIGTERM, false, {true, false, true}, "exit 143"},
      {"SIGINT once a photo is complete, named", SIGINT, true, {false, false, true}, "exit 130"},
      {"SIGHUP once a photo is complete, as root, nameless", SIGHUP, true, {true}, "exit 129"},
      {"SIGTERM once a photo is complete, nameless", SIGTERM, true, {}, "exit 143"},
      {"SIGKILL while writing, nameless", SIGKILL, false, {}, "killed by signal 9"},
  };
  for (const auto& kill : kKills) {
    SCOPED_TRACE(kill.name);
    fs::remove_all(out);
    const pid_t child = Start(arguments, dir_.path(), kill.how);
    for (int ms = 0; ms < 20000 && !(kill.after_a_photo ? complete() : open_in_out(child)); ++ms)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
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

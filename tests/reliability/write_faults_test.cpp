// Write faults: a full disk, a folder the user may not write to, the destination folder removed in the
// middle of a batch, and the destination equal to the source. None leaves a partial or temporary file,
// an older output of the same name stays as it was, and every source stays byte for byte the same.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "batch/batch_runner.h"
#include "batch/downsize_file.h"
#include "tests/reliability/jpeg_corpus.h"
#include "tests/support/fake_batch_window.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::JpegRecipe;
using testing_support::ReadBytes;
using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;

constexpr char kWriteError[] = "Error writing JPEG file";
constexpr uid_t kNobody = 65534;

// A tmpfs mounted in a mount namespace of this process's own, so that it disappears with the process
// whatever happens to the test. Needs the right to mount (root in CI); `why_not` says what failed.
class SmallDisk {
 public:
  SmallDisk(const std::filesystem::path& where, const std::string& options) : where_(where) {
    std::filesystem::create_directory(where_);
    if (unshare(CLONE_NEWNS) != 0) {
      why_not = std::string("cannot make a mount namespace: ") + std::strerror(errno);
    } else if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
               mount("pixmeld-test", where_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      why_not = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    } else {
      mounted_ = true;
    }
  }
  ~SmallDisk() {
    if (mounted_) umount2(where_.c_str(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool mounted() const { return mounted_; }
  std::string why_not;

 private:
  std::filesystem::path where_;
  bool mounted_ = false;
};

std::filesystem::path Photo(const TempDir& dir, const std::string& name, int width, int height) {
  JpegRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  // Noise that the encoder cannot squeeze: the output stays large.
  recipe.sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((static_cast<unsigned>(x * 2654435761u ^ y * 40503u ^ c * 977u) >> 7) &
                                     0xFF);
  };
  testing_support::WriteJpeg(dir / name, recipe);
  return dir / name;
}

struct CliRun {
  int status = -1;
  std::string errors;
};

// pixmeld-cli with `arguments`, as user `uid` when that is not ours.
CliRun Cli(const TempDir& dir, const std::vector<std::string>& arguments, uid_t uid) {
  const auto quote = [](const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
  };
  std::string command;
  if (uid != geteuid()) {
    command =
        "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(uid) + " --clear-groups ";
  }
  command += quote(PIXMELD_CLI_PATH);
  for (const std::string& argument : arguments) command += " " + quote(argument);
  command += " 2>" + quote((dir / "stderr.txt").string());
  CliRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream in(dir / "stderr.txt");
  std::stringstream text;
  text << in.rdbuf();
  run.errors = text.str();
  return run;
}

class WriteFaultTest : public testing::Test {
 protected:
  // The bytes of every file in the folder, to show afterwards that none changed.
  std::map<std::string, Bytes> Snapshot(const std::filesystem::path& folder) {
    std::map<std::string, Bytes> files;
    for (const std::string& name : TempDir::EntriesOf(folder)) files[name] = ReadBytes(folder / name);
    return files;
  }

  RecordingErrorBox boxes_;
  TempDir dir_;
};

TEST_F(WriteFaultTest, AFullDiskFailsThePhotoWithoutAPartialFileAndKeepsTheOlderOutput) {
  const auto big = Photo(dir_, "big.jpg", 800, 600);
  ASSERT_EQ(batch::DownsizeFile(2000, big, dir_ / "reference.jpg").outcome, imaging::Outcome::kDone);
  ASSERT_GT(std::filesystem::file_size(dir_ / "reference.jpg"), 64u * 1024) << "the output must not fit";
  const Bytes source = ReadBytes(big);

  SmallDisk disk(dir_ / "disk", "size=64k,mode=0755");
  if (!disk.mounted()) GTEST_SKIP() << "needs the right to mount a 64 KiB tmpfs (root): " << disk.why_not;
  WriteBytes(dir_ / "disk" / "big.jpg", Bytes{'o', 'l', 'd'});

  const imaging::Result result = batch::DownsizeFile(2000, big, dir_ / "disk" / "big.jpg");
  EXPECT_EQ(result.outcome, imaging::Outcome::kWriteFailed);
  EXPECT_EQ(result.reason, "No space left on device");
  EXPECT_EQ(boxes_.shown(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "disk"), std::vector<std::string>{"big.jpg"});
  EXPECT_EQ(ReadBytes(dir_ / "disk" / "big.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(big), source);
}

TEST_F(WriteFaultTest, ADiskWithoutRoomForAnyFileFailsAsAnUnwritableFolder) {
  const auto photo = Photo(dir_, "photo.jpg", 64, 48);
  const Bytes source = ReadBytes(photo);
  SmallDisk disk(dir_ / "disk", "size=64k,nr_inodes=2,mode=0755");
  if (!disk.mounted()) GTEST_SKIP() << "needs the right to mount a tmpfs (root): " << disk.why_not;
  WriteBytes(dir_ / "disk" / "photo.jpg", Bytes{'o', 'l', 'd'});  // the last free inode

  testing::internal::CaptureStderr();
  const imaging::Result result = batch::DownsizeFile(960, photo, dir_ / "disk" / "photo.jpg");
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.outcome, imaging::Outcome::kFolderRefuses);
  EXPECT_NE(errors.find("can't open"), std::string::npos) << errors;
  EXPECT_EQ(boxes_.shown(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "disk"), std::vector<std::string>{"photo.jpg"});
  EXPECT_EQ(ReadBytes(dir_ / "disk" / "photo.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(ReadBytes(photo), source);
}

TEST_F(WriteFaultTest, ABatchOntoAFullDiskFailsOnlyThePhotoThatDoesNotFitAndGoesOn) {
  std::filesystem::create_directory(dir_ / "in");
  Photo(dir_, "in/a.jpg", 64, 48);
  Photo(dir_, "in/b.jpg", 800, 600);
  Photo(dir_, "in/c.jpg", 64, 48);
  const auto sources = Snapshot(dir_ / "in");
  SmallDisk disk(dir_ / "disk", "size=64k,mode=0755");
  if (!disk.mounted()) GTEST_SKIP() << "needs the right to mount a 64 KiB tmpfs (root): " << disk.why_not;

  testing_support::FakeBatchWindow window;
  window.folder = (dir_ / "disk").string();
  window.selection = 38;  // 2000 pixels: nothing is scaled
  for (const auto& [name, bytes] : sources) window.queue.Add((dir_ / "in" / name).string());
  batch::BatchRunner runner(window);
  runner.StartStop();
  for (int tick = 0; tick < 4; ++tick) runner.Tick();

  EXPECT_EQ(window.queue.count(), 0u);
  EXPECT_EQ(window.open_commands, 1);
  EXPECT_EQ(boxes_.shown(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "disk"), (std::vector<std::string>{"a.jpg", "c.jpg"}));
  EXPECT_EQ(Snapshot(dir_ / "in"), sources);
}

TEST_F(WriteFaultTest, AFolderTheUserMayNotWriteToGetsNothingAndKeepsWhatItHolds) {
  // Root writes anywhere whatever the mode, so as root the program runs as the unprivileged "nobody".
  const uid_t user = geteuid() == 0 ? kNobody : geteuid();
  if (geteuid() == 0 && std::system("command -v setpriv >/dev/null") != 0) {
    GTEST_SKIP() << "needs setpriv (util-linux) to run as an unprivileged user";
  }
  std::filesystem::create_directory(dir_ / "in");
  std::vector<std::string> arguments = {"--output", (dir_ / "out").string(), "--jobs", "1"};
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
    arguments.push_back(Photo(dir_, std::string("in/") + name, 64, 48).string());
  const auto sources = Snapshot(dir_ / "in");
  std::filesystem::create_directory(dir_ / "out");
  WriteBytes(dir_ / "out" / "b.jpg", Bytes{'o', 'l', 'd'});
  ASSERT_EQ(chown((dir_ / "out").c_str(), user, user), 0) << std::strerror(errno);
  std::filesystem::permissions(dir_ / "out", std::filesystem::perms(0555));

  // The first photo tells; the others would fail the same way, so the run stops.
  const CliRun run = Cli(dir_, arguments, user);
  EXPECT_EQ(run.status, 1) << run.errors;
  EXPECT_NE(run.errors.find("pixmeld-cli: " + (dir_ / "in" / "a.jpg").string() + ": Error writing JPEG file"),
            std::string::npos)
      << run.errors;
  EXPECT_EQ(run.errors.find("b.jpg"), std::string::npos) << run.errors;
  EXPECT_NE(run.errors.find("0 written, 1 failed, 0 damaged, 2 not tried;"), std::string::npos) << run.errors;
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "out"), std::vector<std::string>{"b.jpg"});
  EXPECT_EQ(ReadBytes(dir_ / "out" / "b.jpg"), (Bytes{'o', 'l', 'd'}));
  EXPECT_EQ(Snapshot(dir_ / "in"), sources);
  // So that a user other than root can remove the folder afterwards.
  std::filesystem::permissions(dir_ / "out", std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add);
}

// pixmeld-cli's line for each way a photo can fail, and what the failure does to the rest of the run: a
// photo after it ("z.jpg") is written unless the folder itself refuses new files.
TEST_F(WriteFaultTest, EachFailureIsOneLineWithThePhotoAndWhyAndOnlyARefusingFolderStopsTheRun) {
  const bool root = geteuid() == 0;
  struct Case {
    const char* what;
    std::string photo;                           // the first photo, in dir_
    std::function<bool(const TempDir&)> set_up;  // false: the case cannot be made here
    std::string line;                            // after "pixmeld-cli: <dir>/"
    int status;
    bool goes_on;
    uid_t user;
  };
  const auto noise = [](const std::string& name, int width, int height) {
    return [=](const TempDir& dir) { return !Photo(dir, name, width, height).empty(); };
  };
  const auto bytes = [](const std::string& name, Bytes content) {
    return [=](const TempDir& dir) {
      WriteBytes(dir / name, content);
      return true;
    };
  };
  JpegRecipe whole;
  whole.width = 300;
  whole.height = 200;
  Bytes cut = testing_support::MakeJpeg(whole);
  cut.resize(cut.size() / 2);
  const Case cases[] = {
      {"missing", "missing.jpg", [](const TempDir&) { return true; },
       "missing.jpg: Error reading JPEG file (No such file or directory)", 1, true, geteuid()},
      {"not to be read by this user", "secret.jpg",
       [&](const TempDir& dir) {
         Photo(dir, "secret.jpg", 64, 48);
         std::filesystem::permissions(dir / "secret.jpg", std::filesystem::perms::owner_write);
         return root && chown((dir / "out").c_str(), kNobody, kNobody) == 0;
       },
       "secret.jpg: Error reading JPEG file (Permission denied)", 1, true, kNobody},
      {"a folder given as a photo", "folder.jpg",
       [](const TempDir& dir) { return std::filesystem::create_directory(dir / "folder.jpg"); },
       "folder.jpg: Error reading JPEG file (Is a directory)", 1, true, geteuid()},
      {"a folder of the photo's name in the destination", "a.jpg",
       [&](const TempDir& dir) {
         return noise("a.jpg", 64, 48)(dir) && std::filesystem::create_directory(dir / "out" / "a.jpg");
       },
       "a.jpg: Error writing JPEG file (Is a directory)", 1, true, geteuid()},
      {"control characters in the name", "new\nline\x1b[31m.jpg",
       bytes("new\nline\x1b[31m.jpg", {'n', 'o', 'p', 'e'}),
       "new\\nline\\x1b[31m.jpg: Error reading JPEG file (Not a JPEG file: starts with 0x6e 0x6f)", 1, true,
       geteuid()},
      {"data cut short", "cut.jpg", bytes("cut.jpg", cut),
       "cut.jpg: written, but the photo is damaged (Premature end of JPEG file)", 0, true, geteuid()},
      {"a folder that refuses new files", "b.jpg",
       [&](const TempDir& dir) {
         Photo(dir, "b.jpg", 64, 48);
         std::filesystem::permissions(dir / "out", std::filesystem::perms(0555));
         return !root || chown((dir / "out").c_str(), kNobody, kNobody) == 0;
       },
       "b.jpg: Error writing JPEG file (can't open " + std::string("OUT/b.jpg: Permission denied)"), 1, false,
       root ? kNobody : geteuid()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    std::filesystem::create_directory(dir / "out");
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    if (!c.set_up(dir)) {
      std::cout << "[  SKIPPED ] " << c.what << ": needs root and setpriv\n";
      continue;
    }
    Photo(dir, "z.jpg", 32, 32);
    const CliRun run =
        Cli(dir,
            {"--jobs", "1", "-o", (dir / "out").string(), (dir / c.photo).string(), (dir / "z.jpg").string()},
            c.user);
    std::string line = c.line;
    if (const auto at = line.find("OUT/"); at != std::string::npos)
      line.replace(at, 4, (dir / "out").string() + "/");
    const std::string first_line = run.errors.substr(0, run.errors.find('\n') + 1);
    EXPECT_EQ(first_line, "pixmeld-cli: " + dir.path().string() + "/" + line + "\n") << run.errors;
    EXPECT_EQ(run.status, c.status) << run.errors;
    EXPECT_EQ(std::filesystem::exists(dir / "out" / "z.jpg"), c.goes_on) << run.errors;
    std::filesystem::permissions(dir / "out", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add);
  }
}

TEST_F(WriteFaultTest, AFullDiskIsTheSystemsWordsForOnePhotoAndTheRunGoesOn) {
  const auto big = Photo(dir_, "big.jpg", 800, 600);
  Photo(dir_, "small.jpg", 16, 16);
  SmallDisk disk(dir_ / "disk", "size=64k,mode=0755");
  if (!disk.mounted()) GTEST_SKIP() << "needs the right to mount a 64 KiB tmpfs (root): " << disk.why_not;
  const CliRun run = Cli(
      dir_, {"-j1", "-m2000", "-o", (dir_ / "disk").string(), big.string(), (dir_ / "small.jpg").string()},
      geteuid());
  EXPECT_EQ(run.errors.substr(0, run.errors.find('\n')),
            "pixmeld-cli: " + big.string() + ": Error writing JPEG file (No space left on device)");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "disk"), std::vector<std::string>{"small.jpg"});
}

TEST_F(WriteFaultTest, RemovingTheFolderMidBatchStopsTheRunWithOneMessageAndKeepsTheRestQueued) {
  std::filesystem::create_directory(dir_ / "in");
  std::filesystem::create_directory(dir_ / "out");
  testing_support::FakeBatchWindow window;
  window.folder = (dir_ / "out").string();
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
    window.queue.Add(Photo(dir_, std::string("in/") + name, 64, 48).string());
  }
  const auto sources = Snapshot(dir_ / "in");
  batch::BatchRunner runner(window);
  runner.StartStop();
  runner.Tick();
  std::filesystem::remove_all(dir_ / "out");

  testing::internal::CaptureStderr();
  for (int tick = 0; tick < 3; ++tick) runner.Tick();
  testing::internal::GetCapturedStderr();
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(boxes_.shown(), std::vector<std::string>{kWriteError});
  ASSERT_EQ(window.queue.count(), 3u);
  EXPECT_EQ(window.queue.entry(0), (dir_ / "in" / "b.jpg").string());
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out")) << "nothing recreates the folder";
  EXPECT_EQ(window.open_commands, 0);

  // With the folder back, Start goes on with the photo that failed.
  std::filesystem::create_directory(dir_ / "out");
  runner.StartStop();
  for (int tick = 0; tick < 3; ++tick) runner.Tick();
  EXPECT_EQ(TempDir::EntriesOf(dir_ / "out"), (std::vector<std::string>{"b.jpg", "c.jpg", "d.jpg"}));
  EXPECT_EQ(window.open_commands, 1);
  EXPECT_EQ(boxes_.shown().size(), 1u);
  EXPECT_EQ(Snapshot(dir_ / "in"), sources);
}

TEST_F(WriteFaultTest, TheSourceFolderAsDestinationRefusesEveryPhotoAndChangesNone) {
  std::filesystem::create_directory(dir_ / "in");
  std::vector<std::string> photos;
  for (const char* name : {"a.jpg", "b.jpg"})
    photos.push_back(Photo(dir_, std::string("in/") + name, 64, 48).string());
  std::filesystem::create_directory_symlink(dir_ / "in", dir_ / "link");
  const auto sources = Snapshot(dir_ / "in");

  // The batch: one message, the run stops, both photos stay queued.
  testing_support::FakeBatchWindow window;
  window.folder = (dir_ / "in").string();
  for (const std::string& photo : photos) window.queue.Add(photo);
  batch::BatchRunner runner(window);
  runner.StartStop();
  runner.Tick();
  runner.Tick();
  EXPECT_FALSE(runner.running());
  EXPECT_EQ(boxes_.shown(), std::vector<std::string>{kWriteError});
  EXPECT_EQ(window.queue.count(), 2u);

  // The command line, by the folder's own name and through a link to it: refused once, and stopped.
  for (const char* folder : {"in", "link"}) {
    std::vector<std::string> arguments = {"--output", (dir_ / folder).string(), "--jobs", "1"};
    arguments.insert(arguments.end(), photos.begin(), photos.end());
    const CliRun run = Cli(dir_, arguments, geteuid());
    EXPECT_EQ(run.status, 1) << run.errors;
    EXPECT_NE(
        run.errors.find(photos[0] + ": Error writing JPEG file (the destination is the source file itself)"),
        std::string::npos)
        << run.errors;
    EXPECT_NE(run.errors.find("1 not tried"), std::string::npos) << run.errors;
  }
  EXPECT_EQ(Snapshot(dir_ / "in"), sources);
}

}  // namespace
}  // namespace reliability

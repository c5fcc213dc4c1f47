// pixmeld-cli itself on every system, Windows under Wine included: names in other scripts, given on its
// command line and in a list of each encoding, and a path longer than Windows' old limit of 260
// characters (same_bytes_as_linux.sh compares what each system writes); on Windows, Ctrl-C in its console
// (Linux's signals have tests of their own in pixmeld_cli_test.cpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/unicode.h"
#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using testing_support::ReadText;
using testing_support::TempDir;

// Runs pixmeld-cli with `arguments` (UTF-8), its output and errors going to `log`; gives its exit status.
// With `meanwhile` (Windows only), the program has a console of its own and `meanwhile` gets its id.
int RunProgram(const Names& arguments, const fs::path& log,
               [[maybe_unused]] std::function<void(unsigned long)> meanwhile = {}) {
  // No argument here holds a quote or ends in a backslash, which would need more than quotes.
#ifdef _WIN32
  std::wstring line = fs::u8path(PIXMELD_CLI_PATH).wstring();
  for (const std::string& argument : arguments) line += L" \"" + fs::u8path(argument).wstring() + L"\"";
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError =
      CreateFileW(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  PROCESS_INFORMATION process = {};
  DWORD status = ~0u;
  if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, meanwhile ? CREATE_NEW_CONSOLE : 0,
                     nullptr, nullptr, &startup, &process)) {
    if (meanwhile) meanwhile(process.dwProcessId);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &status);
  }
  CloseHandle(process.hThread), CloseHandle(process.hProcess), CloseHandle(startup.hStdOutput);
  return static_cast<int>(status);
#else
  std::string line = PIXMELD_CLI_PATH;
  for (const std::string& argument : arguments) line += " '" + argument + "'";
  const int status = std::system((line + " > '" + log.string() + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

TEST(ProgramNamesTest, NamesInOtherScriptsOnTheCommandLineAndInListsOfEachEncoding) {
  TempDir dir;
  // The output folder is made in a new folder of its own.
  const std::string in = (dir / "").u8string(), out = in + "Ausgabe \xC3\xA4/\xE5\x86\x99\xE7\x9C\x9F";
  // A folder path past 260 characters, Windows' old limit.
  const std::string deep = in + std::string(120, 'd') + "/\xC3\xA4" + std::string(120, 'e') + "/";
  const Names photos = {in + "Zo\xC3\xAB.jpg", in + "\xE5\x86\x99\xE7\x9C\x9F.jpg",
                        in + "\xF0\x9F\x93\xB7 Urlaub am See.jpg", deep + "lang.jpg"};
  fs::create_directories(fs::u8path(deep));
  for (const std::string& photo : photos)
    fs::copy_file(PIXMELD_SOURCE_DIR "/fuzz/seeds/exif-orientation-6-little-endian.jpg", fs::u8path(photo));
  std::string lines;  // with an empty one between each
  for (const std::string& photo : photos) lines += photo + "\r\n\r\n";
  const auto utf16 = [](const std::string& utf8) {  // little-endian, as on every machine this runs on
    std::u16string wide;
    platform::Utf16FromUtf8(utf8, &wide);
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(wide.data()), 2 * wide.size());
  };
  // A name in the ANSI code page, as older Windows tools write lists: Linux takes its bytes as they are
  // (a file of that name is missing here), Windows cannot tell which letters they were and says so.
  const std::string latin1 =
      testing_support::kPathSeparator == "\\" ? "the name is not valid Unicode" : "No such file or directory";
  const struct {
    const char* name;
    std::string list, said;  // given as --files-from when not empty; about the one photo that failed
  } kRuns[] = {
      {"command line", "", ""},
      {"UTF-8, and a name in Latin-1", lines + in + "Zo\xEB.jpg",
       "pixmeld-cli: " + in + "Zo\\xeb.jpg: Error reading JPEG file (" + latin1 + ")\n"},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + lines, ""},
      {"UTF-16LE with its mark", utf16(lines), ""},
  };
  for (const auto& run : kRuns) {
    SCOPED_TRACE(run.name);
    fs::remove_all(fs::u8path(out));
    std::ofstream(dir / "list.txt", std::ios::binary) << run.list;
    Names arguments = run.list.empty() ? photos : Names{"--files-from", in + "list.txt"};
    arguments.insert(arguments.begin(), {"-j2", "-m8", "-o", out});
    EXPECT_EQ(RunProgram(arguments, dir / "log.txt"), run.said.empty() ? 0 : 1);
    EXPECT_EQ(ReadText(dir / "log.txt"), run.said + "4 written, " + (run.said.empty() ? "0" : "1") +
                                             " failed, 0 damaged; 0.0 MB in, 0.0 MB out\n");
    EXPECT_EQ(TempDir::EntriesOf(fs::u8path(out)),
              (Names{"Zo\xC3\xAB.jpg", "lang.jpg", "\xE5\x86\x99\xE7\x9C\x9F.jpg",
                     "\xF0\x9F\x93\xB7 Urlaub am See.jpg"}));
  }
}

#ifdef _WIN32
// Ctrl-C in the program's console while it writes a photo: no temporary file is left, and the exit status
// is that of SIGINT on Linux.
TEST(ProgramNamesTest, CtrlCLeavesNoTemporaryFile) {
  TempDir dir;
  testing_support::JpegRecipe photo;  // at full size: a write that takes a while
  photo.width = 3000, photo.height = 2000;
  testing_support::WriteJpeg(dir / "a.jpg", photo);
  const auto press_ctrl_c_while_writing = [&](unsigned long process) {
    // Until the temporary file shows.
    for (int ms = 0; ms < 20000 && !(fs::exists(dir / "out") && !fs::is_empty(dir / "out")); ms += 2)
      Sleep(2);
    // Into the program's console, as its user would; this process ignores it.
    FreeConsole();
    AttachConsole(process);
    SetConsoleCtrlHandler(nullptr, TRUE);
    GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  };
  EXPECT_EQ(RunProgram({"-m65500", "-o", (dir / "out").u8string(), (dir / "a.jpg").u8string()},
                       dir / "log.txt", press_ctrl_c_while_writing),
            130);
  for (const std::string& name : TempDir::EntriesOf(dir / "out")) EXPECT_EQ(name.size(), 5u) << name;
}
#endif

}  // namespace

#include <windows.h>

#include <fstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

// The quoting that the C runtime's command-line parser undoes: the argument in double quotes, a double
// quote inside as \", and backslashes doubled where a double quote follows them.
std::wstring Quote(const std::wstring& text) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
    } else if (c == L'"') {
      quoted.append(backslashes + 1, L'\\');
      backslashes = 0;
    } else {
      backslashes = 0;
    }
    quoted += c;
  }
  quoted.append(backslashes, L'\\');
  return quoted + L"\"";
}

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

// An inheritable handle that a child process writes to.
class OutputFile {
 public:
  explicit OutputFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~OutputFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// An inheritable handle that a child process reads from.
class InputFile {
 public:
  explicit InputFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    handle_ = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ~InputFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const std::string& input) {
  std::ofstream(folder / "stdin.txt", std::ios::binary) << input;
  ProgramRun run;
  std::wstring command = Quote(Wide(program));
  for (const std::string& argument : arguments) command += L" " + Quote(Wide(argument));
  {
    InputFile standard_input(folder / "stdin.txt");
    OutputFile output(folder / "stdout.txt");
    OutputFile errors(folder / "stderr.txt");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = standard_input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
      return run;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    if (GetExitCodeProcess(process.hProcess, &status)) run.status = static_cast<int>(status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  run.output = ReadText(folder / "stdout.txt");
  run.errors = ReadText(folder / "stderr.txt");
  return run;
}

}  // namespace testing_support

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>

#include "tests/support/run_program.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

// The shell's single quotes take everything literally but a single quote itself.
std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const std::string& input) {
  std::ofstream(folder / "stdin.txt", std::ios::binary) << input;
  std::string command = Quote(program);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command += " <" + Quote((folder / "stdin.txt").string());
  command += " >" + Quote((folder / "stdout.txt").string()) + " 2>" + Quote((folder / "stderr.txt").string());
  ProgramRun run;
  const int raw = std::system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.output = ReadText(folder / "stdout.txt");
  run.errors = ReadText(folder / "stderr.txt");
  return run;
}

}  // namespace testing_support

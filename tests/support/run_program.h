// Runs a program as a script would and waits for it, its standard output and error caught in files inside
// a folder of the caller's. How the tests drive pixmeld-cli. Any thread.
#ifndef PIXMELD_TESTS_SUPPORT_RUN_PROGRAM_H_
#define PIXMELD_TESTS_SUPPORT_RUN_PROGRAM_H_

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
  int status = -1;  // the exit status; -1 when the program did not run or did not end by itself
  std::string output;
  std::string errors;
};

// Runs `program` with `arguments`, each reaching it as one argument exactly as given, and `input` on its
// standard input (from stdin.txt), and leaves stdout.txt and stderr.txt in `folder`. Lines end in "\n"
// in what comes back, on every system.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                      const std::filesystem::path& folder, const std::string& input = "");

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_RUN_PROGRAM_H_

// The list of --files-from: one path a line, or NUL-separated for names that may hold a newline (as
// `find -print0` writes them). Reads the file system; thread-compatible.
#ifndef PIXMELD_CLI_FILE_LIST_H_
#define PIXMELD_CLI_FILE_LIST_H_

#include <istream>
#include <string>
#include <vector>

namespace cli {

// Appends every path of `in`, split at `separator`, to `files`; a path is taken exactly as written
// (spaces and all) and empty ones are skipped. The list is UTF-8, with or without a byte-order mark, or
// UTF-16LE with one (what Windows PowerShell's ">" writes), which is read as UTF-8; with `separator` NUL
// that is U+0000. False when reading failed.
bool ReadFileList(std::istream& in, char separator, std::vector<std::string>* files);

// The same for the file `name` ("-": standard input). On failure, `error` says why.
bool ReadFileList(const std::string& name, char separator, std::vector<std::string>* files,
                  std::string* error);

}  // namespace cli

#endif  // PIXMELD_CLI_FILE_LIST_H_

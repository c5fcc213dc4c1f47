// Files without a name until they are complete, where the system offers them (Linux's O_TMPFILE): such a
// file vanishes with its process however that ends, even by SIGKILL. Where they are not offered, callers
// use a named temporary file instead. Thread-safe; each File has one owner.
#ifndef PIXMELD_PLATFORM_UNNAMED_FILE_H_
#define PIXMELD_PLATFORM_UNNAMED_FILE_H_

#include <filesystem>
#include <string_view>

#include "platform/file.h"

namespace platform {

// A new file inside `folder`, open for writing, with the permissions a plain create gives but no name;
// closed when the system, the folder's file system or the folder itself refuses.
File CreateUnnamedFile(const std::filesystem::path& folder);

// Gives the open `file` the name UniqueName(prefix, suffix) inside `folder`; `named` receives its path.
// False when no name could be given. REQUIRES: `file` came from CreateUnnamedFile and is flushed.
bool NameUnnamedFile(const File& file, const std::filesystem::path& folder, std::string_view prefix,
                     std::string_view suffix, std::filesystem::path* named);

}  // namespace platform

#endif  // PIXMELD_PLATFORM_UNNAMED_FILE_H_

// Preloaded into a child process (LD_PRELOAD), makes open() refuse nameless files (O_TMPFILE) as some
// file systems do, so that a test can reach the named temporary files that are used there instead.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>

#include <cerrno>
#include <cstdarg>

namespace {

using OpenFunction = int (*)(const char*, int, ...);

int Open(const char* name, const char* path, int flags, va_list arguments) {
  const mode_t mode =
      (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
  if ((flags & O_TMPFILE) == O_TMPFILE) {
    errno = EOPNOTSUPP;
    return -1;
  }
  const auto real = reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, name));
  return real(path, flags, mode);
}

}  // namespace

extern "C" int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const int result = Open("open", path, flags, arguments);
  va_end(arguments);
  return result;
}

extern "C" int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const int result = Open("open64", path, flags, arguments);
  va_end(arguments);
  return result;
}

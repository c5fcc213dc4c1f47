// Sets or removes environment variables for the lifetime of a scope, then restores them. Not
// thread-safe, like the environment itself.
#ifndef PIXMELD_TESTS_APP_SCOPED_ENVIRONMENT_H_
#define PIXMELD_TESTS_APP_SCOPED_ENVIRONMENT_H_

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ~ScopedEnvironment() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Apply(it->first, it->second);
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  // std::nullopt removes the variable.
  void Set(const std::string& name, const std::optional<std::string>& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
    Apply(name, value);
  }

 private:
  static void Apply(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
    // An empty value removes the variable, there being no empty variables on Windows.
    ::_putenv_s(name.c_str(), value ? value->c_str() : "");
#else
    value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
#endif
  }

  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_SCOPED_ENVIRONMENT_H_

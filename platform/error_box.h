// The error message box: modal, no owner, caption "Error", the error icon and an OK button; its text, and
// beneath it, smaller, an optional detail (which photo, and why). The box itself is a replaceable service:
// the desktop program installs a real one, tests install a recorder, and a program without a window gets the
// text on standard error. Install services before any thread starts; an installed box may then be shown from
// any thread and must be thread-safe itself.
#ifndef PIXMELD_PLATFORM_ERROR_BOX_H_
#define PIXMELD_PLATFORM_ERROR_BOX_H_

#include <string>

namespace platform {

inline constexpr char kErrorCaption[] = "Error";

class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  // Shows `text` under the caption kErrorCaption, with `detail` beneath it unless that is empty, and
  // returns once the user has dismissed it.
  virtual void Show(const std::string& text, const std::string& detail) = 0;
};

// What the fallback without a window writes to standard error: "Error: <text>", then the detail, each
// ending in a newline.
std::string StandardErrorText(const std::string& text, const std::string& detail);

// Shows `text` and `detail` through the installed box.
void ShowErrorBox(const std::string& text, const std::string& detail = "");

// Installs `box` (not owned) and returns the box it replaces; null restores the standard-error fallback.
ErrorBox* InstallErrorBox(ErrorBox* box);

// Installs a box for the lifetime of the scope.
class ScopedErrorBox {
 public:
  explicit ScopedErrorBox(ErrorBox* box) : previous_(InstallErrorBox(box)) {}
  ~ScopedErrorBox() { InstallErrorBox(previous_); }
  ScopedErrorBox(const ScopedErrorBox&) = delete;
  ScopedErrorBox& operator=(const ScopedErrorBox&) = delete;

 private:
  ErrorBox* previous_;
};

}  // namespace platform

#endif  // PIXMELD_PLATFORM_ERROR_BOX_H_

// The error message box: modal, no owner, caption "Error", the error icon and an OK button. The box
// itself is a replaceable service: the desktop program installs a real one, tests install a recorder,
// and a program without a window gets the text on standard error. Install services before any thread
// starts; an installed box may then be shown from any thread and must be thread-safe itself.
#ifndef PIXMELD_PLATFORM_ERROR_BOX_H_
#define PIXMELD_PLATFORM_ERROR_BOX_H_

#include <string>

namespace platform {

inline constexpr char kErrorCaption[] = "Error";

class ErrorBox {
 public:
  virtual ~ErrorBox() = default;
  // Shows `text` under the caption kErrorCaption and returns once the user has dismissed it.
  virtual void Show(const std::string& text) = 0;
};

// Shows `text` through the installed box.
void ShowErrorBox(const std::string& text);

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

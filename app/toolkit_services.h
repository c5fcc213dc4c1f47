// The toolkit's versions of the replaceable platform services: the error box is the toolkit's message
// box and the wait cursor its busy cursor. ToolkitServices installs both for its lifetime; make it on the
// GUI thread once the toolkit runs, before any other thread starts.
#ifndef PIXMELD_APP_TOOLKIT_SERVICES_H_
#define PIXMELD_APP_TOOLKIT_SERVICES_H_

#include <string>

#include "platform/error_box.h"
#include "platform/wait_cursor.h"

namespace app {

// A modal message box without owner, caption "Error", the error icon and OK; the detail is the toolkit's
// extended message beneath the text. Message boxes belong to the GUI thread: what another thread reports
// goes to the standard error stream instead.
class ToolkitErrorBox final : public platform::ErrorBox {
 public:
  void Show(const std::string& text, const std::string& detail) override;
};

// The toolkit's busy cursor, which nests as Begin and End do. GUI thread only.
class ToolkitWaitCursor final : public platform::WaitCursor {
 public:
  void Begin() override;
  void End() override;
};

class ToolkitServices {
 public:
  ToolkitServices();
  ~ToolkitServices();
  ToolkitServices(const ToolkitServices&) = delete;
  ToolkitServices& operator=(const ToolkitServices&) = delete;

 private:
  ToolkitErrorBox error_box_;
  ToolkitWaitCursor wait_cursor_;
  platform::ErrorBox* previous_error_box_;
  platform::WaitCursor* previous_wait_cursor_;
};

}  // namespace app

#endif  // PIXMELD_APP_TOOLKIT_SERVICES_H_

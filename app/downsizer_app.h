// The application object: it sets up the toolkit's services, runs the main dialog modally and ends the
// program when the dialog closes. The toolkit makes the one instance; GUI thread only.
#ifndef PIXMELD_APP_DOWNSIZER_APP_H_
#define PIXMELD_APP_DOWNSIZER_APP_H_

#include <wx/app.h>

#include <string>
#include <vector>

namespace app {

// The name of the program for the desktop: its executable, desktop entry and icon, and its windows'
// class (GTK takes the application name for it), which the desktop entry names as StartupWMClass.
inline constexpr char kAppName[] = "pixmeld";

class DownsizerApp : public wxApp {
 public:
  // `photos`: the paths named on the command line (UTF-8), which join the list at start-up as a drop's
  // would; the toolkit's own options (GTK's --display and the like) are not among them.
  explicit DownsizerApp(std::vector<std::string> photos) : photos_(std::move(photos)) {}

  // Names the program and its windows' class.
  bool OnInit() override;
  // Runs the main dialog modally and returns 0 when it has closed.
  int OnRun() override;

 private:
  std::vector<std::string> photos_;
};

}  // namespace app

#endif  // PIXMELD_APP_DOWNSIZER_APP_H_

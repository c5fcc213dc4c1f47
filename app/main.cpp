// The program's entry point: it takes the photos named on the command line, makes the one DownsizerApp and
// lets the toolkit run it. The arguments are taken before the toolkit sees them, since it would decode
// Linux's in the locale's encoding (garbling names in the C locale, dropping those it cannot decode);
// Windows' come from the process's own UTF-16 command line. The toolkit owns the application object it is
// handed and deletes it when it ends, as its own entry-point macro arranges.
#include <wx/app.h>

#include "app/downsizer_app.h"
#include "platform/arguments.h"

#ifdef _WIN32
extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  wxDISABLE_DEBUG_SUPPORT();
  wxApp::SetInstance(new app::DownsizerApp(platform::ProgramArguments(0, nullptr)));
  return wxEntry(instance, nullptr, nullptr, show);
}
#else
int main(int argc, char** argv) {
  wxDISABLE_DEBUG_SUPPORT();
  wxApp::SetInstance(new app::DownsizerApp(platform::ProgramArguments(argc, argv)));
  return wxEntry(argc, argv);
}
#endif

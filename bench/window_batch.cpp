// Times one batch of the window as a user runs it: the program's own window in the toolkit's own loop, with
// the real per-file step, the real timer, the wait cursor and the error box, on whatever display it is given
// (bench/window_vs_cli.sh gives it Xvfb). The photos are dropped on the list as a file manager's drag hands
// them over, Start is clicked with the pointer, and the clock runs until the window asks the desktop to
// open the destination folder, which it does when the list has run empty.
//
//   window_batch DESTINATION PHOTO...
//
// Prints the seconds from the click to that request; exits 1 when it did not come within ten minutes.
#include <wx/app.h>
#include <wx/dnd.h>
#include <wx/init.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "app/dialog_builder.h"
#include "app/main_dialog.h"
#include "app/toolkit_services.h"
#include "platform/shell.h"
#include "res/templates.h"

namespace {

using Clock = std::chrono::steady_clock;

// Notes when the window asks for its destination folder to be opened, and closes the window.
struct OpenRecorder final : platform::Shell {
  explicit OpenRecorder(wxDialog* d) : dialog(d) {}
  void Open(const std::string&) override {
    opened = Clock::now();
    dialog->EndModal(wxID_OK);
  }
  wxDialog* dialog;
  Clock::time_point opened;
};

int TimeOneBatch(int argc, char** argv) {
  app::ToolkitServices services;
  app::MainDialog dialog;
  OpenRecorder recorder(&dialog);
  platform::ScopedShell shell(&recorder);
  dialog.SetDestinationFolder(wxString::FromUTF8(argv[1]));
  wxArrayString photos;
  for (int i = 2; i < argc; ++i) photos.Add(wxString::FromUTF8(argv[i]));
  wxWindow* list = dialog.FindWindow(app::WindowIdFor(res::kIdQueueList));
  auto* drop_target = dynamic_cast<wxFileDropTarget*>(list->GetDropTarget());
  if (drop_target == nullptr || !drop_target->OnDropFiles(0, 0, photos)) return 1;

  Clock::time_point clicked;
  wxWindow* start = dialog.FindWindow(app::WindowIdFor(res::kIdOk));
  start->Bind(wxEVT_BUTTON, [&](wxCommandEvent& click) {
    clicked = Clock::now();
    click.Skip();
  });
  // Half a second for the window to show and a tick to enable Start, then a click on it; ten minutes
  // before giving up.
  wxTimer click_start, give_up;
  click_start.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    wxUIActionSimulator mouse;
    mouse.MouseMove(start->GetScreenRect().GetPosition() + start->GetClientSize() / 2);
    mouse.MouseClick();
  });
  give_up.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { dialog.EndModal(wxID_CANCEL); });
  click_start.StartOnce(500);
  give_up.StartOnce(600'000);
  if (dialog.ShowModal() != wxID_OK || clicked == Clock::time_point()) return 1;
  std::printf("%.3f\n", std::chrono::duration<double>(recorder.opened - clicked).count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: window_batch DESTINATION PHOTO...\n");
    return 2;
  }
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 1;
  const int result = TimeOneBatch(argc, argv);
  wxEntryCleanup();
  return result;
}

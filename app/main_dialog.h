// The main window (template 102), the whole user interface: it owns the queue list, the running flag, the
// picture folder, the icons and the 100 ms batch timer; the destination folder lives only as the text of
// control 1008. Made on the stack and run modally by DownsizerApp; GUI thread only.
#ifndef PIXMELD_APP_MAIN_DIALOG_H_
#define PIXMELD_APP_MAIN_DIALOG_H_

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/timer.h>

class wxButton;
class wxContextMenuEvent;
class wxListBox;
class wxStaticTextBase;

namespace app {

class MainDialog : public wxDialog {
 public:
  // Builds the window and runs the start-up steps: default size, About entry, icons, default destination
  // folder, picture folder, timer.
  MainDialog();
  ~MainDialog() override;

  // The destination folder, exactly as control 1008 shows it ("&" included).
  wxString destination_folder() const;
  void SetDestinationFolder(const wxString& folder);

  // The user's picture folder as read at start-up; empty when the system names none.
  const wxString& picture_folder() const { return picture_folder_; }

  bool running() const { return running_ != 0; }

  // Timer 1000: its tick drives the batch for the whole life of the window.
  wxTimer& batch_timer() { return timer_; }

 private:
  void OnCharHook(wxKeyEvent& event);
  void OnStartStop(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnTimer(wxTimerEvent& event);

  wxListBox* queue_;          // control 1000, the work queue's entries
  wxButton* start_;           // control 1, "Start" / "Stop"
  wxStaticTextBase* folder_;  // control 1008
  int running_ = 0;
  wxString picture_folder_;
  wxIconBundle icons_;
  wxTimer timer_;
};

}  // namespace app

#endif  // PIXMELD_APP_MAIN_DIALOG_H_

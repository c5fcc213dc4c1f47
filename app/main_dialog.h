// The main window (template 102), the whole user interface: it owns the queue list, the running flag, the
// picture folder, the icons and the 100 ms batch timer; the destination folder lives only as the text of
// control 1008. Made on the stack and run modally by DownsizerApp; GUI thread only.
#ifndef PIXMELD_APP_MAIN_DIALOG_H_
#define PIXMELD_APP_MAIN_DIALOG_H_

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/timer.h>

#include <utility>

#include "app/folder_picker.h"

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

  // The folder dialog that "Change" shows; the toolkit's unless a test puts another in its place.
  void set_folder_dialog(FolderDialog dialog) { folder_dialog_ = std::move(dialog); }

 private:
  void OnCharHook(wxKeyEvent& event);
  void OnStartStop(wxCommandEvent& event);
  void OnAbout(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);
  void OnTimer(wxTimerEvent& event);

  // The destination folder and the shell shortcuts. "Open" is command 8 whether it comes from a click or
  // is posted (a wxEVT_BUTTON command event with id 8 queued to this window).
  void OnChange(wxCommandEvent& event);
  void OnOpen(wxCommandEvent& event);
  void OnMyImages(wxCommandEvent& event);
  void OnFacebook(wxCommandEvent& event);
  void OnLikeIt(wxCommandEvent& event);

  wxListBox* queue_;          // control 1000, the work queue's entries
  wxButton* start_;           // control 1, "Start" / "Stop"
  wxStaticTextBase* folder_;  // control 1008
  int running_ = 0;
  wxString picture_folder_;
  wxIconBundle icons_;
  wxTimer timer_;
  FolderDialog folder_dialog_ = ShowToolkitFolderDialog;
};

}  // namespace app

#endif  // PIXMELD_APP_MAIN_DIALOG_H_

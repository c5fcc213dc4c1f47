// The main window (template 102), the whole user interface: it owns the work queue (shown by list 1000),
// the batch runner, the picture folder, the icons and the 100 ms batch timer; the destination folder lives
// only as the text of control 1008. The window is what the batch runner reads and changes on each tick.
// Made on the stack and run modally by DownsizerApp; GUI thread only.
#ifndef PIXMELD_APP_MAIN_DIALOG_H_
#define PIXMELD_APP_MAIN_DIALOG_H_

#include <wx/dialog.h>
#include <wx/iconbndl.h>
#include <wx/timer.h>

#include <filesystem>
#include <utility>

#include "app/folder_picker.h"
#include "app/image_picker.h"
#include "batch/batch_runner.h"
#include "batch/work_queue.h"

class wxButton;
class wxChoice;
class wxContextMenuEvent;
class wxDropFilesEvent;
class wxListBox;
class wxStaticTextBase;

namespace app {

class MainDialog : public wxDialog, private batch::BatchWindow {
 public:
  // Builds the window and runs the start-up steps: default size, About entry, icons, default destination
  // folder, picture folder, timer. `step` turns one photo into its copy; tests put a fake in its place.
  explicit MainDialog(batch::DownsizeStep step = batch::BatchRunner::DefaultStep());
  ~MainDialog() override;

  // The destination folder, exactly as control 1008 shows it ("&" included).
  wxString destination_folder() const;
  void SetDestinationFolder(const wxString& folder);

  // The user's picture folder as read at start-up; empty when the system names none.
  const wxString& picture_folder() const { return picture_folder_; }

  bool running() const { return runner_.running(); }

  // Timer 1000: its tick drives the batch for the whole life of the window. It fires once, and while the
  // window runs modally it is armed again after each tick, once the input and commands that came during
  // the tick have been handled, for what is left of the 100 ms since the tick started (at least 1 ms); a
  // tick called by hand outside the modal loop does not arm it.
  wxTimer& batch_timer() { return timer_; }

  // Stops the timer too.
  void EndModal(int code) override;

  // Adds the files `paths` as a drop of them does: JPEG names only, no folder, each path once. A relative
  // path is taken from the current folder, as a command line names it.
  void AddDroppedFiles(const wxArrayString& paths);

  // The folder dialog that "Change" shows; the toolkit's unless a test puts another in its place.
  void set_folder_dialog(FolderDialog dialog) { folder_dialog_ = std::move(dialog); }
  // The open-file dialog that "Add Images" shows; the toolkit's unless a test puts another in its place.
  void set_image_dialog(ImageDialog dialog) { image_dialog_ = std::move(dialog); }

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

  // The work queue: "Add Images", files dropped anywhere on the window, "Clear".
  void OnAddImages(wxCommandEvent& event);
  void OnDropFiles(wxDropFilesEvent& event);
  void OnClear(wxCommandEvent& event);
  void AddToQueue(const wxString& path);

  // What the batch runner reads and changes.
  std::size_t QueueCount() const override;
  std::string QueueEntry(std::size_t index) const override;
  void RemoveQueueEntry(const std::string& path) override;
  std::string DestinationFolder() const override;
  int SizeSelection() const override;
  void EnableStart(bool enable) override;
  void SetStartCaption(const std::string& caption) override;
  void ShowCount(std::size_t count) override;
  void PostOpenCommand() override;
  void ReportFailure(const std::string& source, const imaging::Result& result) override;

  wxListBox* queue_;          // control 1000, the work queue's entries in queue order
  wxButton* start_;           // control 1, "Start" / "Stop"
  wxStaticTextBase* folder_;  // control 1008
  wxChoice* size_;            // control 1009
  wxStaticTextBase* count_;   // control 1010
  batch::WorkQueue work_queue_;
  batch::BatchRunner runner_;
  std::filesystem::path default_folder_;  // the one made at start-up, or made anew by Start
  wxString picture_folder_;
  wxIconBundle icons_;
  wxTimer timer_;
  FolderDialog folder_dialog_ = ShowToolkitFolderDialog;
  ImageDialog image_dialog_ = ShowToolkitImageDialog;
};

}  // namespace app

#endif  // PIXMELD_APP_MAIN_DIALOG_H_

#include "app/main_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/about_dialog.h"
#include "app/artwork.h"
#include "app/dialog_builder.h"
#include "app/picture_folder.h"
#include "app/system_menu.h"
#include "batch/failure_message.h"
#include "batch/jpeg_name.h"
#include "platform/default_folder.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "res/templates.h"
#include "res/web_addresses.h"

namespace app {
namespace {

constexpr int kTimerId = 1000;
constexpr int kTimerIntervalMs = 100;
// Room for the folder that "Change" takes: any path that Linux can name (PATH_MAX); Windows' folder
// dialog gives at most 259 characters.
constexpr std::size_t kDestinationFolderLength = 4096;

wxString FolderText(const std::filesystem::path& folder) {
  return wxString::FromUTF8(platform::PathToUtf8(folder));
}

// What is left of the timer's interval that began at `started`, at least 1 ms: the toolkit takes -1 for
// "the last interval again", and GTK any other negative value for a very long one.
int TimeLeftMs(std::chrono::steady_clock::time_point started) {
  const auto elapsed = std::chrono::steady_clock::now() - started;
  const auto left = kTimerIntervalMs - std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
  return static_cast<int>(std::max<std::chrono::milliseconds::rep>(left, 1));
}

template <typename Control>
Control* ControlById(wxWindow* dialog, int template_id) {
  auto* control = dynamic_cast<Control*>(dialog->FindWindow(WindowIdFor(template_id)));
  wxASSERT_MSG(control != nullptr, "the template lacks a control of this id and kind");
  return control;
}

}  // namespace

MainDialog::MainDialog(batch::DownsizeStep step)
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(res::kMainDialogTemplate.caption), wxDefaultPosition,
               wxDefaultSize, kFixedDialogStyle | wxMINIMIZE_BOX),
      runner_(*this, std::move(step)),
      timer_(this, kTimerId) {
  BuildDialog(this, res::kMainDialogTemplate);
  queue_ = ControlById<wxListBox>(this, res::kIdQueueList);
  start_ = ControlById<wxButton>(this, res::kIdOk);
  folder_ = ControlById<wxStaticTextBase>(this, res::kIdDestinationFolder);
  size_ = ControlById<wxChoice>(this, res::kIdSizeChoice);
  count_ = ControlById<wxStaticTextBase>(this, res::kIdCount);
  CentreOnScreen();

  // Start/Stop has a handler of its own, so the toolkit's OK handling never closes the window. Exit, Esc
  // and the close box go to the toolkit's Cancel handling, which closes it.
  Bind(wxEVT_CHAR_HOOK, &MainDialog::OnCharHook, this);
  Bind(wxEVT_BUTTON, &MainDialog::OnStartStop, this, wxID_OK);
  Bind(wxEVT_MENU, &MainDialog::OnAbout, this, res::kAboutCommand);
  Bind(wxEVT_TIMER, &MainDialog::OnTimer, this, kTimerId);
  Bind(wxEVT_BUTTON, &MainDialog::OnChange, this, res::kIdChange);
  Bind(wxEVT_BUTTON, &MainDialog::OnOpen, this, res::kIdOpen);
  Bind(wxEVT_BUTTON, &MainDialog::OnMyImages, this, res::kIdMyImages);
  Bind(wxEVT_BUTTON, &MainDialog::OnFacebook, this, res::kIdFacebook);
  Bind(wxEVT_BUTTON, &MainDialog::OnLikeIt, this, res::kIdLikeIt);
  Bind(wxEVT_BUTTON, &MainDialog::OnAddImages, this, res::kIdAddImages);
  Bind(wxEVT_BUTTON, &MainDialog::OnClear, this, res::kIdClear);

  // Start-up, in order. Files dropped on any control are taken too: a drop reaches only the window under
  // the pointer, and it does not travel up to the dialog.
  DragAcceptFiles(true);
  Bind(wxEVT_DROP_FILES, &MainDialog::OnDropFiles, this);
  for (wxWindow* child : GetChildren()) {
    child->DragAcceptFiles(true);
    child->Bind(wxEVT_DROP_FILES, &MainDialog::OnDropFiles, this);
  }
  size_->SetSelection(res::kDefaultSizeEntry);
  if (!AddToSystemMenu(this, res::kAboutCommand, wxString::FromUTF8(res::kAboutMenuText))) {
    Bind(wxEVT_CONTEXT_MENU, &MainDialog::OnContextMenu, this);
  }
  icons_ = ApplicationIcons();
  SetIcons(icons_);
  default_folder_ = platform::DefaultDestinationFolder();
  SetDestinationFolder(FolderText(default_folder_));
  picture_folder_ = FolderText(ReadPictureFolder());
  timer_.StartOnce(kTimerIntervalMs);

  // The first enabled tab stop is "Exit", and Enter presses a focused button: start on the list instead.
  queue_->SetFocus();
}

MainDialog::~MainDialog() { timer_.Stop(); }

wxString MainDialog::destination_folder() const { return folder_->GetLabelText(); }

void MainDialog::SetDestinationFolder(const wxString& folder) { folder_->SetLabelText(folder); }

// Enter presses the default button, Start, while it is enabled, as Windows dialogs do; GTK would leave
// the key to the focused control. A focused button takes Enter itself, and so does every other key.
void MainDialog::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers() &&
      dynamic_cast<wxButton*>(FindFocus()) == nullptr) {
    if (start_->IsEnabled()) EmulateButtonClickIfPresent(wxID_OK);
    return;
  }
  event.Skip();
}

// Pixmeld's own folder comes back when it has vanished (a temporary directory gets cleaned); a folder the
// user picked is never made again, and writing there fails as it would.
void MainDialog::OnStartStop(wxCommandEvent&) {
  if (!runner_.running() && destination_folder() == FolderText(default_folder_)) {
    default_folder_ = platform::RestoreDefaultFolder(default_folder_);
    SetDestinationFolder(FolderText(default_folder_));
  }
  runner_.StartStop();
}

void MainDialog::OnAbout(wxCommandEvent&) {
  AboutDialog about(this);
  about.ShowModal();
}

// Where the system menu takes no entry of the program's own, a right click anywhere offers the About entry.
void MainDialog::OnContextMenu(wxContextMenuEvent&) {
  wxMenu menu;
  menu.Append(res::kAboutCommand, wxString::FromUTF8(res::kAboutMenuText));
  PopupMenu(&menu);
}

// Whether a batch runs or not. The next tick falls due an interval after this one started, as a periodic
// timer's would, but only once the window has handled the input and commands that came during the tick: GTK
// serves a due timer before the input that came meanwhile (it hands over one input event per pass of its
// loop, and nothing of lower priority, such as queued commands, while a timer is due), so an overdue
// periodic timer would make Stop, Clear and Exit wait for several more photos. So the one-shot timer is
// armed again when the window has nothing else to do, with what is left of the interval and at least 1 ms:
// after a photo that took longer, the next starts as soon as that input is handled; quicker photos keep to
// one per interval.
void MainDialog::OnTimer(wxTimerEvent&) {
  const auto started = std::chrono::steady_clock::now();
  runner_.Tick();
  CallAfter([this, started] {
    if (IsModal()) timer_.StartOnce(TimeLeftMs(started));
  });
}

// No tick after the window has been closed, even one that falls due in the same pass of the loop.
void MainDialog::EndModal(int code) {
  timer_.Stop();
  wxDialog::EndModal(code);
}

// The folder is taken exactly as the dialog names it; on cancel, or a choice that is no folder, the
// destination stays as it was.
void MainDialog::OnChange(wxCommandEvent&) {
  wxString chosen;
  if (FolderPicker(this, destination_folder(), &chosen, kDestinationFolderLength, folder_dialog_)) {
    SetDestinationFolder(chosen);
  }
}

// The shell gets each target as it is, even a missing folder or an empty text, and reports any problem
// itself; the window shows nothing of its own.
void MainDialog::OnOpen(wxCommandEvent&) { platform::OpenInShell(destination_folder().utf8_string()); }

void MainDialog::OnMyImages(wxCommandEvent&) { platform::OpenInShell(picture_folder_.utf8_string()); }

void MainDialog::OnFacebook(wxCommandEvent&) { platform::OpenInShell(res::kFacebookHomePage); }

void MainDialog::OnLikeIt(wxCommandEvent&) { platform::OpenInShell(res::kMakerFacebookPage); }

// Every chosen file joins the queue, whatever its extension; the filter only limits what the dialog lists.
void MainDialog::OnAddImages(wxCommandEvent&) {
  const wxArrayString paths = image_dialog_(this);
  if (paths.empty()) return;
  for (const wxString& path : paths) AddToQueue(path);
  ShowCount(work_queue_.count());
}

// JPEG files join the queue exactly as dropped; other files and folders (even one named "x.jpg", which
// could never convert) are passed over without a word.
void MainDialog::OnDropFiles(wxDropFilesEvent& event) {
  AddDroppedFiles(wxArrayString(static_cast<std::size_t>(event.GetNumberOfFiles()), event.GetFiles()));
}

void MainDialog::AddDroppedFiles(const wxArrayString& paths) {
  for (wxString path : paths) {
    // A drop names full paths, which are taken exactly as they come; a command line may name relative ones.
    std::filesystem::path file = platform::PathFromUtf8(path.utf8_string());
    std::error_code error;
    if (!file.has_root_directory()) {
      file = std::filesystem::absolute(file, error).lexically_normal();
      path = wxString::FromUTF8(platform::PathToUtf8(file));
    }
    if (!error && batch::HasJpegExtension(path.utf8_string()) &&
        !std::filesystem::is_directory(file, error)) {
      AddToQueue(path);
    }
  }
  ShowCount(work_queue_.count());
}

// The count follows on the next tick.
void MainDialog::OnClear(wxCommandEvent&) {
  work_queue_.Clear();
  queue_->Clear();
}

// The list shows the queue's entries in the queue's own order; a path already listed is not added again.
void MainDialog::AddToQueue(const wxString& path) {
  if (const auto index = work_queue_.Add(path.utf8_string())) {
    queue_->Insert(path, static_cast<unsigned int>(*index));
  }
}

std::size_t MainDialog::QueueCount() const { return work_queue_.count(); }

std::string MainDialog::QueueEntry(std::size_t index) const { return work_queue_.entry(index); }

void MainDialog::RemoveQueueEntry(const std::string& path) {
  if (const auto index = work_queue_.Find(path)) {
    work_queue_.Remove(*index);
    queue_->Delete(static_cast<unsigned int>(*index));
  }
}

std::string MainDialog::DestinationFolder() const { return destination_folder().utf8_string(); }

int MainDialog::SizeSelection() const { return size_->GetSelection(); }

// A disabled button cannot keep the focus: GTK would leave the window without one, and Esc and Enter would
// no longer reach it. The list takes the focus, as at start-up.
void MainDialog::EnableStart(bool enable) {
  if (!enable && FindFocus() == start_) queue_->SetFocus();
  start_->Enable(enable);
}

void MainDialog::SetStartCaption(const std::string& caption) {
  start_->SetLabel(wxString::FromUTF8(caption));
}

void MainDialog::ShowCount(std::size_t count) {
  count_->SetLabelText(wxString::Format("TOTAL: %d", static_cast<int>(count)));
}

// Handled after the tick, as a click on "Open" would be.
void MainDialog::PostOpenCommand() { wxQueueEvent(this, new wxCommandEvent(wxEVT_BUTTON, res::kIdOpen)); }

// The photo's path as the list showed it, and why, beneath the message: after a long run the user can
// still tell which photos failed.
void MainDialog::ReportFailure(const std::string& source, const imaging::Result& result) {
  platform::ShowErrorBox(batch::FailureMessage(result.outcome), source + "\n" + result.reason);
}

}  // namespace app

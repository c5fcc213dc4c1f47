#include "app/main_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>

#include <filesystem>

#include "app/about_dialog.h"
#include "app/artwork.h"
#include "app/dialog_builder.h"
#include "app/picture_folder.h"
#include "app/system_menu.h"
#include "app/web_addresses.h"
#include "platform/default_folder.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "res/templates.h"

namespace app {
namespace {

constexpr int kTimerId = 1000;
constexpr int kTimerIntervalMs = 100;
constexpr char kStartCaption[] = "Start";
constexpr char kStopCaption[] = "Stop";
// Room for the folder that "Change" takes: any path that Linux can name (PATH_MAX); Windows' folder
// dialog gives at most 259 characters.
constexpr std::size_t kDestinationFolderLength = 4096;

wxString FolderText(const std::filesystem::path& folder) {
  return wxString::FromUTF8(platform::PathToUtf8(folder));
}

template <typename Control>
Control* ControlById(wxWindow* dialog, int template_id) {
  auto* control = dynamic_cast<Control*>(dialog->FindWindow(WindowIdFor(template_id)));
  wxASSERT_MSG(control != nullptr, "the template lacks a control of this id and kind");
  return control;
}

}  // namespace

MainDialog::MainDialog()
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(res::kMainDialogTemplate.caption), wxDefaultPosition,
               wxDefaultSize, kFixedDialogStyle | wxMINIMIZE_BOX),
      timer_(this, kTimerId) {
  BuildDialog(this, res::kMainDialogTemplate);
  queue_ = ControlById<wxListBox>(this, res::kIdQueueList);
  start_ = ControlById<wxButton>(this, res::kIdOk);
  folder_ = ControlById<wxStaticTextBase>(this, res::kIdDestinationFolder);
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

  // Start-up, in order.
  DragAcceptFiles(true);
  ControlById<wxChoice>(this, res::kIdSizeChoice)->SetSelection(res::kDefaultSizeEntry);
  if (!AddToSystemMenu(this, res::kAboutCommand, wxString::FromUTF8(res::kAboutMenuText))) {
    Bind(wxEVT_CONTEXT_MENU, &MainDialog::OnContextMenu, this);
  }
  icons_ = ApplicationIcons();
  SetIcons(icons_);
  SetDestinationFolder(FolderText(platform::DefaultDestinationFolder()));
  picture_folder_ = FolderText(ReadPictureFolder());
  timer_.Start(kTimerIntervalMs);

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

void MainDialog::OnStartStop(wxCommandEvent&) {
  // The batch runner decides here whether a press starts or stops; for now a press toggles.
  running_ = running_ != 0 ? 0 : 1;
  start_->SetLabel(running_ != 0 ? kStopCaption : kStartCaption);
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

void MainDialog::OnTimer(wxTimerEvent&) {
  // The batch tick runs here, every 100 ms, whether a batch runs or not.
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

void MainDialog::OnFacebook(wxCommandEvent&) { platform::OpenInShell(kFacebookHomePage); }

void MainDialog::OnLikeIt(wxCommandEvent&) { platform::OpenInShell(kMakerFacebookPage); }

}  // namespace app

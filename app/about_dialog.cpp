#include "app/about_dialog.h"

#include "app/dialog_builder.h"
#include "platform/shell.h"
#include "res/templates.h"
#include "res/web_addresses.h"

namespace app {

// OK closes the box through the toolkit's own OK handling; Esc and the close box close it too.
AboutDialog::AboutDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(res::kAboutDialogTemplate.caption), wxDefaultPosition,
               wxDefaultSize, kFixedDialogStyle) {
  BuildDialog(this, res::kAboutDialogTemplate);
  CentreOnParent();
  Bind(wxEVT_BUTTON, &AboutDialog::OnWebAddress, this, res::kIdWebAddress);
}

void AboutDialog::OnWebAddress(wxCommandEvent&) { platform::OpenInShell(res::kMakerWebSite); }

}  // namespace app

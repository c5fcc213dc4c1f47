// The About box (template 100): the icon, the name and version, the legal notice, OK and the maker's web
// address. Made on the stack and run modally over the main dialog; GUI thread only.
#ifndef PIXMELD_APP_ABOUT_DIALOG_H_
#define PIXMELD_APP_ABOUT_DIALOG_H_

#include <wx/dialog.h>

namespace app {

class AboutDialog : public wxDialog {
 public:
  // Centred over `parent`.
  explicit AboutDialog(wxWindow* parent);

 private:
  // Button 1011: the shell opens the maker's web site; the box stays open.
  void OnWebAddress(wxCommandEvent& event);
};

}  // namespace app

#endif  // PIXMELD_APP_ABOUT_DIALOG_H_

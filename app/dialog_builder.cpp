#include "app/dialog_builder.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

// After wx/stattext.h, which it would otherwise keep from declaring the native static text.
#include <wx/generic/stattextg.h>

#include <vector>

#include "app/artwork.h"
#include "app/dialog_font.h"

namespace app {
namespace {

using res::ControlKind;

bool Has(const res::ControlTemplate& control, unsigned style) { return (control.styles & style) != 0; }

wxString Text(const char* utf8) { return wxString::FromUTF8(utf8); }

wxWindow* MakeButton(wxDialog* dialog, const res::ControlTemplate& control, const wxRect& rect) {
  auto* button =
      new wxButton(dialog, WindowIdFor(control.id), Text(control.text), rect.GetPosition(), rect.GetSize());
  if (Has(control, res::kDefaultButton)) button->SetDefault();
  return button;
}

// Static texts never resize themselves, so that a changing text leaves the layout as it is.
wxWindow* MakeStaticText(wxDialog* dialog, const res::ControlTemplate& control, const wxRect& rect) {
  const long style = wxST_NO_AUTORESIZE | (Has(control, res::kRightAligned) ? wxALIGN_RIGHT : wxALIGN_LEFT);
  wxStaticTextBase* text;
  if (Has(control, res::kSingleLine)) {
    // GTK's own label breaks lines at "/" as well as at spaces; this one draws a single line and cuts it.
    text = new wxGenericStaticText(dialog, WindowIdFor(control.id), wxString(), rect.GetPosition(),
                                   rect.GetSize(), style);
  } else {
    text = new wxStaticText(dialog, WindowIdFor(control.id), wxString(), rect.GetPosition(), rect.GetSize(),
                            style);
  }
  if (Has(control, res::kNoPrefix)) {
    text->SetLabelText(Text(control.text));
  } else {
    text->SetLabel(Text(control.text));
  }
  return text;
}

wxWindow* MakeListBox(wxDialog* dialog, const res::ControlTemplate& control, const wxRect& rect) {
  long style = wxLB_SINGLE;
  if (Has(control, res::kVerticalScroll)) style |= wxLB_NEEDED_SB;
  if (Has(control, res::kBorder)) style |= wxBORDER_THEME;
  return new wxListBox(dialog, WindowIdFor(control.id), rect.GetPosition(), rect.GetSize(), 0, nullptr,
                       style);
}

// A drop-down list whose height in the template includes the opened list; closed, it is as tall as
// the toolkit makes it.
wxWindow* MakeDropDownList(wxDialog* dialog, const res::ControlTemplate& control, const wxRect& rect) {
  auto* choice = new wxChoice(dialog, WindowIdFor(control.id), rect.GetPosition(),
                              wxSize(rect.GetWidth(), wxDefaultCoord));
  for (std::size_t i = 0; i < control.item_count; ++i) choice->Append(Text(control.items[i]));
  return choice;
}

// The place of a control at the window's density.
wxRect PlaceOf(wxWindow* dialog, const res::ControlTemplate& control) {
  const wxRect pixels = DialogRectToPixels(control.rect);
  return wxRect(dialog->FromDIP(pixels.GetPosition()), dialog->FromDIP(pixels.GetSize()));
}

wxWindow* MakeControl(wxDialog* dialog, const res::ControlTemplate& control) {
  const wxRect rect = PlaceOf(dialog, control);
  switch (control.kind) {
    case ControlKind::kPushButton:
      return MakeButton(dialog, control, rect);
    case ControlKind::kStaticText:
      return MakeStaticText(dialog, control, rect);
    case ControlKind::kListBox:
      return MakeListBox(dialog, control, rect);
    case ControlKind::kGroupBox:
      return new wxStaticBox(dialog, WindowIdFor(control.id), Text(control.text), rect.GetPosition(),
                             rect.GetSize());
    case ControlKind::kBitmap:
    case ControlKind::kIcon:
      // A picture control takes the size of its picture.
      return new wxStaticBitmap(dialog, WindowIdFor(control.id), TemplatePicture(control.image),
                                rect.GetPosition());
    case ControlKind::kDropDownList:
      return MakeDropDownList(dialog, control, rect);
  }
  return nullptr;
}

// Gives the window the template's client size at its density, and fixes that size.
void FixClientSize(wxDialog* dialog, const res::DialogTemplate& dialog_template) {
  dialog->SetSizeHints(wxDefaultSize, wxDefaultSize);
  dialog->SetClientSize(dialog->FromDIP(
      wxSize(DialogUnitsToPixelsX(dialog_template.width), DialogUnitsToPixelsY(dialog_template.height))));
  const wxSize size = dialog->GetSize();
  dialog->SetSizeHints(size, size);
}

// After a move to a monitor of another density (the program is aware of each monitor's), the toolkit has
// given the controls fonts and pictures for it; the window and the controls take their template places
// at it, as when they were made. A picture takes the size of its picture; a drop-down list, the height the
// toolkit gives it.
void PlaceAgain(wxDialog* dialog, const res::DialogTemplate& dialog_template,
                const std::vector<wxWindow*>& windows) {
  FixClientSize(dialog, dialog_template);
  for (std::size_t i = 0; i < windows.size(); ++i) {
    const res::ControlTemplate& control = dialog_template.controls[i];
    const wxRect rect = PlaceOf(dialog, control);
    switch (control.kind) {
      case ControlKind::kBitmap:
      case ControlKind::kIcon:
        windows[i]->SetSize(wxRect(rect.GetPosition(), windows[i]->GetBestSize()));
        break;
      case ControlKind::kDropDownList:
        windows[i]->SetSize(rect.x, rect.y, rect.width, windows[i]->GetBestSize().y);
        break;
      default:
        windows[i]->SetSize(rect);
    }
  }
}

}  // namespace

wxRect DialogRectToPixels(const res::DialogRect& rect) {
  return wxRect(DialogUnitsToPixelsX(rect.x), DialogUnitsToPixelsY(rect.y), DialogUnitsToPixelsX(rect.width),
                DialogUnitsToPixelsY(rect.height));
}

wxWindowID WindowIdFor(int template_id) {
  switch (template_id) {
    case res::kIdOk:
      return wxID_OK;
    case res::kIdCancel:
      return wxID_CANCEL;
    case res::kIdNone:
      return wxID_ANY;
    default:
      return template_id;
  }
}

void BuildDialog(wxDialog* dialog, const res::DialogTemplate& dialog_template) {
  // The font first: the controls take it on when they are made.
  dialog->SetFont(DialogTemplateFont());
  dialog->SetBackgroundColour(*wxWHITE);
  FixClientSize(dialog, dialog_template);
  std::vector<wxWindow*> windows;
  for (const res::ControlTemplate& control : dialog_template) {
    wxWindow* window = MakeControl(dialog, control);
    windows.push_back(window);
    // A group box is transparent, so the dialog's white shows through it (a background of its own would
    // hide the text inside it); a drop-down list keeps the theme's face, as a themed one does on Windows.
    if (control.kind != ControlKind::kGroupBox && control.kind != ControlKind::kDropDownList) {
      window->SetBackgroundColour(*wxWHITE);
    }
    if (Has(control, res::kDisabled)) window->Disable();
    // The toolkit makes every control of a kind that takes input a tab stop, and no other.
    wxASSERT_MSG(window->AcceptsFocusFromKeyboard() == Has(control, res::kTabStop),
                 "the template's tab stops differ from the toolkit's");
  }
  dialog->Bind(wxEVT_DPI_CHANGED, [dialog, &dialog_template, windows](wxDPIChangedEvent& event) {
    PlaceAgain(dialog, dialog_template, windows);
    event.Skip();
  });
}

}  // namespace app

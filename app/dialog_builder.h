// Builds a dialog from its template in res/templates.h: the frame (font, colour, client size) and then the
// controls, in template order. Positions in dialog units become pixels by the metrics of the templates'
// 8-point font at 96 dots per inch, then pass through FromDIP for screens of other densities.
// GUI thread only.
#ifndef PIXMELD_APP_DIALOG_BUILDER_H_
#define PIXMELD_APP_DIALOG_BUILDER_H_

#include <wx/dialog.h>
#include <wx/gdicmn.h>

#include "res/templates.h"

namespace app {

// One dialog unit is 1.5 pixels across and 1.625 pixels down, rounded to the nearest pixel.
inline int DialogUnitsToPixelsX(int units) { return (units * 6 + 2) / 4; }
inline int DialogUnitsToPixelsY(int units) { return (units * 13 + 4) / 8; }
wxRect DialogRectToPixels(const res::DialogRect& rect);

// The toolkit's id for a template's control id: 1 and 2 are the OK and Cancel commands, -1 none.
wxWindowID WindowIdFor(int template_id);

// The styles of a dialog that can be neither resized nor maximised.
inline constexpr long kFixedDialogStyle = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX;

// Sets the template's font and white background on `dialog`, gives it the template's client size, makes
// its controls and fixes its size; when the window moves to a monitor of another density, places them
// again for it. REQUIRES: `dialog` has no children yet; `dialog_template` outlives it.
void BuildDialog(wxDialog* dialog, const res::DialogTemplate& dialog_template);

}  // namespace app

#endif  // PIXMELD_APP_DIALOG_BUILDER_H_

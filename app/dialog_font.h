// The font of the dialog templates in res/: the system's 8-point dialog font, whose metrics the templates'
// dialog units assume. GUI thread only.
#ifndef PIXMELD_APP_DIALOG_FONT_H_
#define PIXMELD_APP_DIALOG_FONT_H_

#include <wx/font.h>

namespace app {

wxFont DialogTemplateFont();

}  // namespace app

#endif  // PIXMELD_APP_DIALOG_FONT_H_

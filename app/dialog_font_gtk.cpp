// GTK: the desktop's sans-serif face at 8 points.
#include "app/dialog_font.h"

namespace app {

wxFont DialogTemplateFont() { return wxFont(wxFontInfo(8).Family(wxFONTFAMILY_SWISS)); }

}  // namespace app

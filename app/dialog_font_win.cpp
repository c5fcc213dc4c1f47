// Windows: "MS Shell Dlg", the face that dialogs name and that the system maps to its dialog font.
// The toolkit's "swiss" family would give Arial, which is wider and takes the instructions past their box.
#include "app/dialog_font.h"

namespace app {

wxFont DialogTemplateFont() { return wxFont(wxFontInfo(8).FaceName("MS Shell Dlg")); }

}  // namespace app

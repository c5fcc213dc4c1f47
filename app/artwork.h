// The program's pictures, made from the artwork built into it: the icon 128 and the bitmaps 129 and 130.
// GUI thread only, after the toolkit has started.
#ifndef PIXMELD_APP_ARTWORK_H_
#define PIXMELD_APP_ARTWORK_H_

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace app {

// The application icon in its three sizes, 16, 32 and 48 pixels.
wxIconBundle ApplicationIcons();

// Bitmap `id` (IDB_LOGO or IDB_BANNER), or the 32 x 32 application icon for IDR_MAINFRAME;
// an invalid bitmap for any other id.
wxBitmap TemplatePicture(int id);

}  // namespace app

#endif  // PIXMELD_APP_ARTWORK_H_

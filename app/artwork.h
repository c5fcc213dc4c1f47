// The program's pictures, made from the artwork built into it: the icon 128 and the bitmaps 129 and 130,
// each at the size its place has on the screen at hand. GUI thread only, after the toolkit has started.
#ifndef PIXMELD_APP_ARTWORK_H_
#define PIXMELD_APP_ARTWORK_H_

#include <wx/bmpbndl.h>
#include <wx/iconbndl.h>

namespace app {

// The application icon in its three sizes, 16, 32 and 48 pixels.
wxIconBundle ApplicationIcons();

// Bitmap `id` (IDB_LOGO or IDB_BANNER), or the 32 x 32 application icon for IDR_MAINFRAME, for any
// density of the screen: at a scale of s times 96 DPI it is s times its 96-DPI size, rounded as the layout
// rounds, and drawn from a rendering of its source at that scale where there is one (1.5 and 2), else
// from the next larger rendering shrunk (the largest enlarged beyond 2). An empty bundle for other ids.
wxBitmapBundle TemplatePicture(int id);

}  // namespace app

#endif  // PIXMELD_APP_ARTWORK_H_

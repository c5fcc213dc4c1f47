#include "app/artwork.h"

#include <wx/icon.h>
#include <wx/imagbmp.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "res/artwork_data.h"
#include "res/resource.h"

namespace app {
namespace {

// The BMP handler is always there; the ICO handler is added once, on first use.
void AddIconHandler() {
  if (wxImage::FindHandler(wxBITMAP_TYPE_ICO) == nullptr) wxImage::AddHandler(new wxICOHandler);
}

wxBitmap BitmapFrom(const unsigned char* data, std::size_t size) {
  wxMemoryInputStream stream(data, size);
  return wxBitmap(wxImage(stream, wxBITMAP_TYPE_BMP));
}

}  // namespace

wxIconBundle ApplicationIcons() {
  AddIconHandler();
  wxMemoryInputStream stream(res::kPixmeldIco, res::kPixmeldIcoSize);
  return wxIconBundle(stream, wxBITMAP_TYPE_ICO);
}

wxBitmap TemplatePicture(int id) {
  switch (id) {
    case IDB_LOGO:
      return BitmapFrom(res::kLogoBmp, res::kLogoBmpSize);
    case IDB_BANNER:
      return BitmapFrom(res::kBannerBmp, res::kBannerBmpSize);
    case IDR_MAINFRAME: {
      wxBitmap bitmap;
      bitmap.CopyFromIcon(ApplicationIcons().GetIcon(wxSize(32, 32)));
      return bitmap;
    }
    default:
      return wxBitmap();
  }
}

}  // namespace app

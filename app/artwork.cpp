#include "app/artwork.h"

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/imagbmp.h>
#include <wx/image.h>
#include <wx/math.h>
#include <wx/mstream.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "res/artwork_data.h"
#include "res/resource.h"

namespace app {
namespace {

// The BMP handler is always there; the ICO handler is added once, on first use.
void AddIconHandler() {
  if (wxImage::FindHandler(wxBITMAP_TYPE_ICO) == nullptr) wxImage::AddHandler(new wxICOHandler);
}

wxImage ImageFromBmp(const unsigned char* data, std::size_t size) {
  wxMemoryInputStream stream(data, size);
  return wxImage(stream, wxBITMAP_TYPE_BMP);
}

// One picture drawn at several scales. Only the rendering a screen asks for is decoded, when it asks.
class RenderedPicture : public wxBitmapBundleImpl {
 public:
  struct Rendering {
    double scale;
    wxImage (*load)();
  };

  // REQUIRES: `renderings` ascend by scale; each one's size is `size_at_96_dpi` times its scale, rounded.
  RenderedPicture(wxSize size_at_96_dpi, std::vector<Rendering> renderings)
      : size_at_96_dpi_(size_at_96_dpi), renderings_(std::move(renderings)) {}

  wxSize GetDefaultSize() const override { return size_at_96_dpi_; }

  // Rounded as FromDIP rounds a dialog's places, so that a picture fills its place at every scale.
  wxSize GetPreferredBitmapSizeAtScale(double scale) const override {
    return wxSize(wxRound(size_at_96_dpi_.x * scale), wxRound(size_at_96_dpi_.y * scale));
  }

  wxBitmap GetBitmap(const wxSize& size) override {
    const Rendering* source = &renderings_.back();
    for (const Rendering& rendering : renderings_) {
      const wxSize rendered = GetPreferredBitmapSizeAtScale(rendering.scale);
      if (rendered.x >= size.x && rendered.y >= size.y) {
        source = &rendering;
        break;
      }
    }
    wxImage image = source->load();
    // Shrinking averages boxes of pixels, which keeps edges as sharp as the smaller size allows.
    if (image.GetSize() != size) image.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH);
    return wxBitmap(image);
  }

 private:
  const wxSize size_at_96_dpi_;
  const std::vector<Rendering> renderings_;
};

wxBitmapBundle Rendered(wxSize size_at_96_dpi, std::vector<RenderedPicture::Rendering> renderings) {
  // The bundle takes over the picture's one reference.
  return wxBitmapBundle::FromImpl(new RenderedPicture(size_at_96_dpi, std::move(renderings)));
}

}  // namespace

wxIconBundle ApplicationIcons() {
  AddIconHandler();
  wxMemoryInputStream stream(res::kPixmeldIco, res::kPixmeldIcoSize);
  return wxIconBundle(stream, wxBITMAP_TYPE_ICO);
}

wxBitmapBundle TemplatePicture(int id) {
  switch (id) {
    case IDB_LOGO:
      return Rendered({110, 110}, {{1, [] { return ImageFromBmp(res::kLogoBmp, res::kLogoBmpSize); }},
                                   {1.5, [] { return ImageFromBmp(res::kLogo150Bmp, res::kLogo150BmpSize); }},
                                   {2, [] { return ImageFromBmp(res::kLogo200Bmp, res::kLogo200BmpSize); }}});
    case IDB_BANNER:
      return Rendered({758, 113},
                      {{1, [] { return ImageFromBmp(res::kBannerBmp, res::kBannerBmpSize); }},
                       {1.5, [] { return ImageFromBmp(res::kBanner150Bmp, res::kBanner150BmpSize); }},
                       {2, [] { return ImageFromBmp(res::kBanner200Bmp, res::kBanner200BmpSize); }}});
    case IDR_MAINFRAME:
      return Rendered({32, 32}, {{1,
                                  [] {
                                    wxBitmap bitmap;
                                    bitmap.CopyFromIcon(ApplicationIcons().GetIcon(wxSize(32, 32)));
                                    return bitmap.ConvertToImage();
                                  }},
                                 {1.5, [] { return ImageFromBmp(res::kIcon150Bmp, res::kIcon150BmpSize); }},
                                 {2, [] { return ImageFromBmp(res::kIcon200Bmp, res::kIcon200BmpSize); }}});
    default:
      return wxBitmapBundle();
  }
}

}  // namespace app

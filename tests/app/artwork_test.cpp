// The window's pictures at the densities of common screens: each has the size of its place in the layout,
// and at 144 and 192 DPI it is the build's rendering of its source at that scale (app/art-*), not the
// 96-DPI bitmap enlarged.
#include "app/artwork.h"

#include <gtest/gtest.h>
#include <wx/image.h>

#include <algorithm>
#include <string>

#include "res/resource.h"

namespace app {
namespace {

std::string Text(wxSize size) { return std::to_string(size.x) + " x " + std::to_string(size.y); }

TEST(ArtworkTest, EachPictureFillsItsPlaceAndIsRenderedForTheScale) {
  struct Case {
    const char* name;
    int id;
    double scale;
    wxSize expected;
    const char* rendering;  // in the build's app/ folder, or null
  };
  const Case kCases[] = {
      // The banner is as wide as the window (MainDialogTest): 505 dialog units, 758 pixels at 96 DPI, times
      // the scale.
      {"banner at 120 DPI", IDB_BANNER, 1.25, {948, 141}, nullptr},
      {"banner at 144 DPI", IDB_BANNER, 1.5, {1137, 170}, "art-150/banner.bmp"},
      {"banner at 192 DPI", IDB_BANNER, 2, {1516, 226}, "art-200/banner.bmp"},
      {"logo at 144 DPI", IDB_LOGO, 1.5, {165, 165}, "art-150/logo.bmp"},
      {"logo at 192 DPI", IDB_LOGO, 2, {220, 220}, "art-200/logo.bmp"},
      {"About box icon at 144 DPI", IDR_MAINFRAME, 1.5, {48, 48}, "art-150/icon.bmp"},
      {"About box icon at 192 DPI", IDR_MAINFRAME, 2, {64, 64}, "art-200/icon.bmp"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const wxBitmapBundle picture = TemplatePicture(c.id);
    const wxSize size = picture.GetPreferredBitmapSizeAtScale(c.scale);
    EXPECT_EQ(Text(size), Text(c.expected));
    const wxImage image = picture.GetBitmap(size).ConvertToImage();
    ASSERT_EQ(Text(image.GetSize()), Text(size));
    if (c.rendering == nullptr) continue;
    const wxImage rendered(std::string(PIXMELD_APP_BUILD_DIR "/") + c.rendering, wxBITMAP_TYPE_BMP);
    ASSERT_TRUE(rendered.IsOk()) << "the build has no " << c.rendering;
    EXPECT_TRUE(image.GetSize() == rendered.GetSize() &&
                std::equal(image.GetData(), image.GetData() + 3 * size.x * size.y, rendered.GetData()))
        << "not the rendering " << c.rendering;
  }
}

}  // namespace
}  // namespace app

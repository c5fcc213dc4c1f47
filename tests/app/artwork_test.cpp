#include "app/artwork.h"

#include <gtest/gtest.h>
#include <wx/image.h>

#include "res/resource.h"

namespace app {
namespace {

// The banner comes out the right way up: its black ground at the top, its blue band at the bottom.
TEST(ArtworkTest, PicturesHaveTheirSizesAndOrientation) {
  const wxImage banner = TemplatePicture(IDB_BANNER).ConvertToImage();
  EXPECT_EQ(banner.GetSize(), wxSize(758, 113));
  EXPECT_LE(banner.GetBlue(400, 2), 10);
  EXPECT_GE(banner.GetBlue(379, 105) - banner.GetRed(379, 105), 60);
  EXPECT_EQ(TemplatePicture(IDB_LOGO).GetSize(), wxSize(110, 110));
  EXPECT_EQ(TemplatePicture(IDR_MAINFRAME).GetSize(), wxSize(32, 32));
  EXPECT_FALSE(TemplatePicture(131).IsOk());

  const wxIconBundle icons = ApplicationIcons();
  ASSERT_EQ(icons.GetIconCount(), 3u);
  for (int size : {16, 32, 48}) EXPECT_TRUE(icons.GetIconOfExactSize(size).IsOk()) << size;
}

}  // namespace
}  // namespace app

#include "batch/jpeg_name.h"

#include <gtest/gtest.h>

namespace batch {
namespace {

TEST(JpegNameTest, JpgAndJpegInAnyLetterCase) {
  struct Case {
    const char* path;
    bool jpeg;
  };
  const Case cases[] = {
      {"/p/A.JPG", true},
      {"/p/b.Jpeg", true},
      {"/p/c.jpg", true},
      {"/p/\xC3\x9C"
       "berlingen.jPeG",
       true},
      {"C:\\Photos\\d.JPEG", true},
      {"/p/c.png", false},
      {"/p/photo.jpg.txt", false},
      {"/p/photojpg", false},
      {"/p/.jpg", true},        // all extension, as the path splitter sees it
      {"/p.jpg/photo", false},  // the folder's name does not count
      {"/p/x.jpe", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(HasJpegExtension(c.path), c.jpeg) << c.path;
}

}  // namespace
}  // namespace batch

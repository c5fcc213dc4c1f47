// JPEG files made at test time with libjpeg, and a plain reader for what tests check in the output.
#ifndef PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_
#define PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_

#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

#include "imaging/packed_dib.h"

namespace testing_support {

struct JpegRecipe {
  int width = 16;
  int height = 16;
  // JCS_GRAYSCALE, JCS_RGB, JCS_CMYK or JCS_UNKNOWN (with `components` of its own).
  J_COLOR_SPACE color_space = JCS_RGB;
  int components = 3;
  bool subsample = true;  // 4:2:0 chroma for colour files; 4:4:4 when false
  bool progressive = false;
  bool arithmetic = false;
  int restart_rows = 0;
  int quality = 95;
  std::vector<jpeg_scan_info> scans;  // a scan script of its own for a progressive file
  // The sample of component c at column x and row y counted from the top.
  std::function<std::uint8_t(int x, int y, int c)> sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * 7 + y * 13 + c * 50) & 0xFF);
  };
};

std::vector<unsigned char> MakeJpeg(const JpegRecipe& recipe);
void WriteJpeg(const std::filesystem::path& path, const JpegRecipe& recipe);

// What a written JPEG file says about itself.
struct JpegFacts {
  int width = 0;
  int height = 0;
  int components = 0;
  J_COLOR_SPACE color_space = JCS_UNKNOWN;
  bool progressive = false;
  bool arithmetic = false;
  bool baseline_frame = false;  // SOF0
  bool jfif = false;
  int density_unit = -1;
  int x_density = 0;
  int y_density = 0;
  int luma_h = 0;  // sampling factors of the first component
  int luma_v = 0;
  std::uint16_t luma_quant_dc = 0;    // first entry of quantisation table 0
  std::uint16_t chroma_quant_dc = 0;  // first entry of quantisation table 1
  std::vector<std::uint32_t> pixels;  // decoded RGB, top row first, as 0x00RRGGBB
};

// Reads a JPEG file fully; fails the test (and returns empty facts) when the library cannot.
JpegFacts ReadJpegFacts(const std::filesystem::path& path);

// The word at column x and row y counted from the top of a 32-bit PackedDib.
std::uint32_t PixelAt(imaging::PackedDib& packed, int x, int y);
int WidthOf(imaging::PackedDib& packed);
int HeightOf(imaging::PackedDib& packed);

// A 32-bit PackedDib of the given size whose pixel at (x, y from the top) is colour(x, y).
imaging::PackedDib MakePacked(int width, int height, const std::function<std::uint32_t(int, int)>& colour);

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_

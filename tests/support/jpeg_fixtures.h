// JPEG files made at test time with libjpeg, a plain reader for what tests check in the output, and the
// pictures tests hand to the product. Functions only; thread-safe.
#ifndef PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_
#define PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_

#include <cstdio>

#include <jpeglib.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

#include "imaging/packed_dib.h"

namespace testing_support {

using Bytes = std::vector<unsigned char>;

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
  std::vector<jpeg_scan_info> scans{};  // a scan script of its own
  // The sample of component c at column x and row y counted from the top.
  std::function<std::uint8_t(int x, int y, int c)> sample = [](int x, int y, int c) {
    return static_cast<std::uint8_t>((x * 7 + y * 13 + c * 50) & 0xFF);
  };
  // Segments written in this order after the JFIF marker: marker code (JPEG_APP0 + n, JPEG_COM), payload.
  std::vector<std::pair<int, Bytes>> markers{};
};

Bytes MakeJpeg(const JpegRecipe& recipe);
void WriteJpeg(const std::filesystem::path& path, const JpegRecipe& recipe);

// `jpeg`, made by MakeJpeg, with a frame that declares width x height: enough to start reading, not to read.
Bytes Reframed(Bytes jpeg, int width, int height);

// One entry of an EXIF directory. A SHORT (type 3) with count 1 goes in the first two bytes of the
// four-byte field, as TIFF places it; any other value fills the field.
struct ExifEntry {
  std::uint16_t tag, type;
  std::uint32_t count, value;
};

// An APP1 payload: "Exif\0\0", a TIFF header in the given byte order whose first directory follows it
// at offset 8 and holds `entries`, then a zero link. Offsets: byte order 6, IFD0 offset 10, entry count
// 14, first entry 16 (type 18, count 20, value 24), link 16 + 12 * entries.
Bytes ExifSegment(bool big_endian, const std::vector<ExifEntry>& entries);
// The same with one entry, orientation tag 0x0112 of type SHORT.
Bytes ExifOrientationSegment(int orientation, bool big_endian = false);

// An ICC profile of `size` bytes (at least 128): its size, `colour_space` (four characters) at offset 16
// and 'acsp' at 36; every other byte a pattern that depends on its offset.
Bytes IccProfile(const char* colour_space, std::size_t size);
// An APP2 payload: "ICC_PROFILE\0", sequence number, count, then `data`.
Bytes IccChunk(int number, int count, const Bytes& data);
// The APP2 payloads that carry `profile` in `count` nearly equal parts, numbered 1 to count.
std::vector<Bytes> IccChunks(const Bytes& profile, int count);

// What a written JPEG file says about itself.
struct JpegFacts {
  int width = 0;
  int height = 0;
  std::uint16_t luma_quant_dc = 0;    // first entry of quantisation table 0: the quality it was written at
  std::vector<std::uint32_t> pixels;  // decoded RGB, top row first, as 0x00RRGGBB
  Bytes icc_profile;                  // as the library's own reader reassembles it
};

// Reads a JPEG file fully; fails the test (and returns empty facts) when the library cannot.
JpegFacts ReadJpegFacts(const std::filesystem::path& path);

// The words of a 32-bit PackedDib, top row first.
std::vector<std::uint32_t> TopDownWords(imaging::PackedDib& packed);

// A 32-bit PackedDib of the given size whose pixel at (x, y from the top) is colour(x, y).
imaging::PackedDib MakePacked(int width, int height, const std::function<std::uint32_t(int, int)>& colour);

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_JPEG_FIXTURES_H_

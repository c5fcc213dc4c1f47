#include "tests/support/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "imaging/jpeg_abort.h"
#include "imaging/raster_image.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

// Test-side library objects; failures throw the same text the product's hook throws.
struct Compression {
  jpeg_error_mgr err{};
  jpeg_compress_struct cinfo{};
  Compression() {
    cinfo.err = imaging::UseJpegAbort(&err);
    jpeg_create_compress(&cinfo);
  }
  ~Compression() { jpeg_destroy_compress(&cinfo); }
};

struct Decompression {
  jpeg_error_mgr err{};
  jpeg_decompress_struct cinfo{};
  Decompression() {
    cinfo.err = imaging::UseJpegAbort(&err);
    jpeg_create_decompress(&cinfo);
  }
  ~Decompression() { jpeg_destroy_decompress(&cinfo); }
};

}  // namespace

std::vector<unsigned char> MakeJpeg(const JpegRecipe& recipe) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  {
    Compression jpeg;
    jpeg_compress_struct& cinfo = jpeg.cinfo;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = recipe.width;
    cinfo.image_height = recipe.height;
    cinfo.input_components = recipe.components;
    cinfo.in_color_space = recipe.color_space;
    jpeg_set_defaults(&cinfo);
    if (recipe.color_space == JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, JCS_UNKNOWN);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (!recipe.subsample || recipe.color_space != JCS_RGB) {
      for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
      }
    }
    if (recipe.progressive) jpeg_simple_progression(&cinfo);
    if (!recipe.scans.empty()) {
      cinfo.scan_info = recipe.scans.data();
      cinfo.num_scans = static_cast<int>(recipe.scans.size());
    }
    cinfo.arith_code = recipe.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = recipe.restart_rows;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(recipe.width) * recipe.components);
    JSAMPROW rows[] = {row.data()};
    while (cinfo.next_scanline < cinfo.image_height) {
      const int y = static_cast<int>(cinfo.next_scanline);
      for (int x = 0; x < recipe.width; ++x) {
        for (int c = 0; c < recipe.components; ++c) row[x * recipe.components + c] = recipe.sample(x, y, c);
      }
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
  }
  std::vector<unsigned char> bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

void WriteJpeg(const std::filesystem::path& path, const JpegRecipe& recipe) {
  WriteBytes(path, MakeJpeg(recipe));
}

JpegFacts ReadJpegFacts(const std::filesystem::path& path) {
  JpegFacts facts;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    ADD_FAILURE() << "cannot open " << path;
    return facts;
  }
  try {
    Decompression jpeg;
    jpeg_decompress_struct& cinfo = jpeg.cinfo;
    jpeg_stdio_src(&cinfo, file.get());
    jpeg_read_header(&cinfo, TRUE);
    facts.width = static_cast<int>(cinfo.image_width);
    facts.height = static_cast<int>(cinfo.image_height);
    facts.components = cinfo.num_components;
    facts.color_space = cinfo.jpeg_color_space;
    facts.progressive = cinfo.progressive_mode;
    facts.arithmetic = cinfo.arith_code;
    facts.jfif = cinfo.saw_JFIF_marker;
    facts.density_unit = cinfo.density_unit;
    facts.x_density = cinfo.X_density;
    facts.y_density = cinfo.Y_density;
    facts.luma_h = cinfo.comp_info[0].h_samp_factor;
    facts.luma_v = cinfo.comp_info[0].v_samp_factor;
    if (cinfo.quant_tbl_ptrs[0] != nullptr) facts.luma_quant_dc = cinfo.quant_tbl_ptrs[0]->quantval[0];
    if (cinfo.quant_tbl_ptrs[1] != nullptr) facts.chroma_quant_dc = cinfo.quant_tbl_ptrs[1]->quantval[0];
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(cinfo.output_width) * 3);
    JSAMPROW rows[] = {row.data()};
    while (cinfo.output_scanline < cinfo.output_height) {
      jpeg_read_scanlines(&cinfo, rows, 1);
      for (JDIMENSION x = 0; x < cinfo.output_width; ++x) {
        facts.pixels.push_back(std::uint32_t{row[3 * x]} << 16 | std::uint32_t{row[3 * x + 1]} << 8 |
                               row[3 * x + 2]);
      }
    }
    jpeg_finish_decompress(&cinfo);
  } catch (const char*) {
    ADD_FAILURE() << "the library cannot read " << path;
    return JpegFacts();
  }
  // The start-of-frame marker tells a baseline file (SOF0) from an extended sequential one (SOF1).
  const std::vector<unsigned char> bytes = ReadBytes(path);
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) facts.baseline_frame = true;
  }
  return facts;
}

namespace {

imaging::BitmapInfoHeader HeaderOf(imaging::PackedDib& packed) {
  imaging::BitmapInfoHeader header;
  std::memcpy(&header, packed.Lock(), sizeof header);
  packed.Unlock();
  return header;
}

}  // namespace

std::uint32_t PixelAt(imaging::PackedDib& packed, int x, int y) {
  const imaging::BitmapInfoHeader header = HeaderOf(packed);
  const auto* bytes = static_cast<const unsigned char*>(packed.Lock());
  std::uint32_t word;
  const std::size_t index = static_cast<std::size_t>(header.biHeight - 1 - y) * header.biWidth + x;
  std::memcpy(&word, bytes + sizeof header + index * 4, 4);
  packed.Unlock();
  return word;
}

int WidthOf(imaging::PackedDib& packed) { return HeaderOf(packed).biWidth; }
int HeightOf(imaging::PackedDib& packed) { return HeaderOf(packed).biHeight; }

imaging::PackedDib MakePacked(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  imaging::RasterImage raster;
  raster.SetSize(width, height);
  raster.Lock();
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) raster.pixels()[(height - 1 - y) * width + x] = colour(x, y);
  }
  raster.Unlock();
  return raster.ExportPacked();
}

}  // namespace testing_support

#include "tests/support/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "imaging/jpeg_abort.h"
#include "imaging/raster_image.h"
#include "platform/file.h"
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
    for (const auto& [marker, payload] : recipe.markers) {
      jpeg_write_marker(&cinfo, marker, payload.data(), static_cast<unsigned>(payload.size()));
    }
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

std::vector<unsigned char> ExifSegment(bool big_endian, const std::vector<ExifEntry>& entries) {
  std::vector<unsigned char> bytes = {'E', 'x', 'i', 'f', 0, 0};
  const auto put = [&](std::uint32_t value, int length) {
    for (int i = 0; i < length; ++i) {
      const int shift = 8 * (big_endian ? length - 1 - i : i);
      bytes.push_back(static_cast<unsigned char>(value >> shift));
    }
  };
  put(big_endian ? 0x4D4D : 0x4949, 2);
  put(42, 2);
  put(8, 4);
  put(static_cast<std::uint32_t>(entries.size()), 2);
  for (const ExifEntry& entry : entries) {
    put(entry.tag, 2);
    put(entry.type, 2);
    put(entry.count, 4);
    if (entry.type == 3 && entry.count == 1) {
      put(entry.value, 2);
      put(0, 2);
    } else {
      put(entry.value, 4);
    }
  }
  put(0, 4);
  return bytes;
}

std::vector<unsigned char> ExifOrientationSegment(int orientation, bool big_endian) {
  return ExifSegment(big_endian, {{0x0112, 3, 1, static_cast<std::uint32_t>(orientation)}});
}

std::vector<unsigned char> IccProfile(const char* colour_space, std::size_t size) {
  std::vector<unsigned char> profile(size);
  for (std::size_t i = 0; i < size; ++i) profile[i] = static_cast<unsigned char>(i * 31 + i / 251);
  for (int i = 0; i < 4; ++i) profile[i] = static_cast<unsigned char>(size >> (24 - 8 * i));
  std::memcpy(&profile[16], colour_space, 4);
  std::memcpy(&profile[36], "acsp", 4);
  return profile;
}

std::vector<unsigned char> IccChunk(int number, int count, const std::vector<unsigned char>& data) {
  std::vector<unsigned char> chunk = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
  chunk.push_back(static_cast<unsigned char>(number));
  chunk.push_back(static_cast<unsigned char>(count));
  chunk.insert(chunk.end(), data.begin(), data.end());
  return chunk;
}

std::vector<std::vector<unsigned char>> IccChunks(const std::vector<unsigned char>& profile, int count) {
  std::vector<std::vector<unsigned char>> chunks;
  for (int n = 0; n < count; ++n) {
    const auto begin = profile.begin() + profile.size() * n / count;
    const auto end = profile.begin() + profile.size() * (n + 1) / count;
    chunks.push_back(IccChunk(n + 1, count, std::vector<unsigned char>(begin, end)));
  }
  return chunks;
}

namespace {

// The marker codes of the segments before the first scan.
std::vector<int> SegmentsBeforeScan(const std::vector<unsigned char>& bytes) {
  std::vector<int> codes;
  for (std::size_t i = 2; i + 3 < bytes.size() && bytes[i] == 0xFF;
       i += 2 + (bytes[i + 2] << 8 | bytes[i + 3])) {
    codes.push_back(bytes[i + 1]);
    if (bytes[i + 1] == 0xDA) break;
  }
  return codes;
}

}  // namespace

JpegFacts ReadJpegFacts(const std::filesystem::path& path) {
  JpegFacts facts;
  const platform::File file = platform::File::Open(path, "rb");
  if (!file.is_open()) {
    ADD_FAILURE() << "cannot open " << path;
    return facts;
  }
  try {
    Decompression jpeg;
    jpeg_decompress_struct& cinfo = jpeg.cinfo;
    jpeg_stdio_src(&cinfo, file.get());
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    JOCTET* profile = nullptr;
    unsigned profile_size = 0;
    if (jpeg_read_icc_profile(&cinfo, &profile, &profile_size)) {
      facts.icc_profile.assign(profile, profile + profile_size);
      std::free(profile);
    }
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
  facts.segments = SegmentsBeforeScan(ReadBytes(path));
  facts.baseline_frame = std::count(facts.segments.begin(), facts.segments.end(), 0xC0) == 1;
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

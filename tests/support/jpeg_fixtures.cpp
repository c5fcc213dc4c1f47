#include "tests/support/jpeg_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "imaging/jpeg_abort.h"
#include "imaging/raster_image.h"
#include "tests/support/temp_dir.h"

namespace testing_support {
namespace {

// A test-side library object, made by jpeg_CreateCompress or jpeg_CreateDecompress; failures throw the same
// text the product's hook throws.
template <typename Info>
struct Library {
  jpeg_error_mgr err{};
  Info cinfo{};
  explicit Library(void (*create)(Info*, int, std::size_t)) {
    cinfo.err = imaging::UseJpegAbort(&err);
    create(&cinfo, JPEG_LIB_VERSION, sizeof(Info));
  }
  ~Library() { jpeg_destroy(reinterpret_cast<j_common_ptr>(&cinfo)); }
};

}  // namespace

Bytes MakeJpeg(const JpegRecipe& recipe) {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  {
    Library jpeg(jpeg_CreateCompress);
    jpeg_compress_struct& cinfo = jpeg.cinfo;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = recipe.width;
    cinfo.image_height = recipe.height;
    cinfo.input_components = recipe.components;
    cinfo.in_color_space = recipe.color_space;
    jpeg_set_defaults(&cinfo);
    if (recipe.color_space == JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, JCS_UNKNOWN);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    for (int c = 0; c < cinfo.num_components && (!recipe.subsample || recipe.color_space != JCS_RGB); ++c)
      cinfo.comp_info[c].h_samp_factor = cinfo.comp_info[c].v_samp_factor = 1;
    if (recipe.progressive) jpeg_simple_progression(&cinfo);
    if (!recipe.scans.empty()) cinfo.scan_info = recipe.scans.data();
    if (!recipe.scans.empty()) cinfo.num_scans = static_cast<int>(recipe.scans.size());
    cinfo.arith_code = recipe.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = recipe.restart_rows;
    jpeg_start_compress(&cinfo, TRUE);
    for (const auto& [marker, payload] : recipe.markers)
      jpeg_write_marker(&cinfo, marker, payload.data(), static_cast<unsigned>(payload.size()));
    std::vector<JSAMPLE> row(static_cast<std::size_t>(recipe.width) * recipe.components);
    for (JSAMPROW rows[] = {row.data()}; cinfo.next_scanline < cinfo.image_height;) {
      for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = recipe.sample(int(i) / recipe.components, cinfo.next_scanline, int(i) % recipe.components);
      jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
  }
  Bytes bytes(buffer, buffer + size);
  std::free(buffer);
  return bytes;
}

void WriteJpeg(const std::filesystem::path& path, const JpegRecipe& recipe) {
  WriteBytes(path, MakeJpeg(recipe));
}

Bytes Reframed(Bytes jpeg, int width, int height) {
  std::size_t at = 2;  // the frame segment, SOF0 or SOF2
  while (jpeg[at + 1] != 0xC0 && jpeg[at + 1] != 0xC2) at += 2 + (jpeg[at + 2] << 8 | jpeg[at + 3]);
  auto field = jpeg.begin() + at + 5;  // past the marker, the length and the precision
  for (int value : {height >> 8, height & 0xFF, width >> 8, width & 0xFF})
    *field++ = static_cast<unsigned char>(value);
  return jpeg;
}

Bytes ExifSegment(bool big_endian, const std::vector<ExifEntry>& entries) {
  Bytes bytes = {'E', 'x', 'i', 'f', 0, 0};
  const auto put = [&](std::uint32_t value, int length) {
    for (int i = 0; i < length; ++i)
      bytes.push_back(static_cast<unsigned char>(value >> 8 * (big_endian ? length - 1 - i : i)));
  };
  put(big_endian ? 0x4D4D : 0x4949, 2), put(42, 2), put(8, 4), put(std::uint32_t(entries.size()), 2);
  for (const ExifEntry& entry : entries) {
    const bool one_short = entry.type == 3 && entry.count == 1;  // padded to four bytes
    put(entry.tag, 2), put(entry.type, 2), put(entry.count, 4), put(entry.value, one_short ? 2 : 4);
    if (one_short) put(0, 2);
  }
  put(0, 4);
  return bytes;
}

Bytes ExifOrientationSegment(int orientation, bool big_endian) {
  return ExifSegment(big_endian, {{0x0112, 3, 1, static_cast<std::uint32_t>(orientation)}});
}

Bytes IccProfile(const char* colour_space, std::size_t size) {
  Bytes profile(size);
  for (std::size_t i = 0; i < size; ++i) profile[i] = static_cast<unsigned char>(i * 31 + i / 251);
  for (int i = 0; i < 4; ++i) profile[i] = static_cast<unsigned char>(size >> (24 - 8 * i));
  std::memcpy(&profile[16], colour_space, 4);
  std::memcpy(&profile[36], "acsp", 4);
  return profile;
}

Bytes IccChunk(int number, int count, const Bytes& data) {
  Bytes chunk = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
  chunk.push_back(static_cast<unsigned char>(number));
  chunk.push_back(static_cast<unsigned char>(count));
  chunk.insert(chunk.end(), data.begin(), data.end());
  return chunk;
}

std::vector<Bytes> IccChunks(const Bytes& profile, int count) {
  std::vector<Bytes> chunks;
  for (int n = 0; n < count; ++n) {
    const auto begin = profile.begin() + profile.size() * n / count;
    chunks.push_back(
        IccChunk(n + 1, count, Bytes(begin, profile.begin() + profile.size() * (n + 1) / count)));
  }
  return chunks;
}

JpegFacts ReadJpegFacts(const std::filesystem::path& path) {
  JpegFacts facts;
  const Bytes bytes = ReadBytes(path);  // none when the file is missing, which the library refuses
  try {
    Library jpeg(jpeg_CreateDecompress);
    jpeg_decompress_struct& cinfo = jpeg.cinfo;
    jpeg_mem_src(&cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    JOCTET* profile = nullptr;
    unsigned profile_size = 0;
    if (jpeg_read_icc_profile(&cinfo, &profile, &profile_size))
      facts.icc_profile.assign(profile, profile + profile_size);
    std::free(profile);
    facts.width = static_cast<int>(cinfo.image_width);
    facts.height = static_cast<int>(cinfo.image_height);
    facts.luma_quant_dc = cinfo.quant_tbl_ptrs[0] != nullptr ? cinfo.quant_tbl_ptrs[0]->quantval[0] : 0;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(cinfo.output_width) * 3);
    for (JSAMPROW rows[] = {row.data()}; cinfo.output_scanline < cinfo.output_height;) {
      jpeg_read_scanlines(&cinfo, rows, 1);
      for (std::size_t x = 0; x < row.size(); x += 3)
        facts.pixels.push_back(row[x] << 16 | row[x + 1] << 8 | row[x + 2]);
    }
    jpeg_finish_decompress(&cinfo);
  } catch (const char*) {
    ADD_FAILURE() << "the library cannot read " << path;
    return JpegFacts();
  }
  return facts;
}

std::vector<std::uint32_t> TopDownWords(imaging::PackedDib& packed) {
  imaging::BitmapInfoHeader header;
  std::memcpy(&header, packed.Lock(), sizeof header);
  const auto* words =
      reinterpret_cast<const std::uint32_t*>(static_cast<unsigned char*>(packed.Lock()) + sizeof header);
  std::vector<std::uint32_t> top_down;
  for (std::ptrdiff_t y = header.biHeight - 1, w = header.biWidth; y >= 0; --y)
    top_down.insert(top_down.end(), words + y * w, words + y * w + w);
  packed.Unlock(), packed.Unlock();
  return top_down;
}

imaging::PackedDib MakePacked(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
  imaging::RasterImage raster;
  raster.SetSize(width, height);
  raster.Lock();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) raster.pixels()[(height - 1 - y) * width + x] = colour(x, y);
  raster.Unlock();
  return raster.ExportPacked();
}

}  // namespace testing_support

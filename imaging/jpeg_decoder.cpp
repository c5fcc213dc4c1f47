#include "imaging/jpeg_decoder.h"

#include <algorithm>
#include <climits>
#include <new>
#include <utility>
#include <vector>

#include "imaging/jpeg_abort.h"
#include "imaging/raster_image.h"
#include "platform/error_box.h"
#include "platform/file.h"
#include "platform/wait_cursor.h"

namespace imaging {
namespace {

// The decompression object with its error manager and scan guard. The destructor destroys the object
// on every way out, which the library allows after any error.
class Decompressor {
 public:
  Decompressor() {
    cinfo_.err = UseJpegAbort(&err_);
    cinfo_.client_data = this;
    progress_.progress_monitor = &Decompressor::CountScans;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  // Creation may fail (out of memory) through JpegAbort, so it happens inside the caller's try block.
  void Create() {
    jpeg_create_decompress(&cinfo_);
    cinfo_.mem->max_memory_to_use = static_cast<long>(std::min<std::int64_t>(kMaxLibraryMemory, LONG_MAX));
    // Neither the monitor nor the memory cap is a decompression parameter: pixels come out the same.
    cinfo_.progress = &progress_;
  }

  // Stops the decode with "Error reading JPEG file"; `reason` explains it to callers that ask.
  [[noreturn]] void Fail(std::string reason) {
    reason_ = std::move(reason);
    throw kJpegErrorText;
  }

  std::string Reason() {
    return reason_.empty() ? LastJpegMessage(reinterpret_cast<j_common_ptr>(&cinfo_)) : reason_;
  }

  jpeg_decompress_struct* get() { return &cinfo_; }

 private:
  // A progressive file can hold thousands of tiny scans, each one a pass over the whole picture.
  static void CountScans(j_common_ptr cinfo) {
    auto* self = static_cast<Decompressor*>(cinfo->client_data);
    if (self->cinfo_.input_scan_number > kMaxScans) {
      self->Fail("more than " + std::to_string(kMaxScans) + " scans");
    }
  }

  jpeg_error_mgr err_{};
  jpeg_progress_mgr progress_{};
  jpeg_decompress_struct cinfo_{};
  std::string reason_;
};

std::uint32_t Word(unsigned red, unsigned green, unsigned blue) { return red << 16 | green << 8 | blue; }

// Turns one decoded scanline into pixel words.
void ConvertScanline(const jpeg_decompress_struct& cinfo, const JSAMPLE* in, std::uint32_t* out) {
  const JDIMENSION width = cinfo.output_width;
  switch (cinfo.out_color_space) {
    case JCS_RGB:
      for (JDIMENSION x = 0; x < width; ++x, in += 3) out[x] = Word(in[0], in[1], in[2]);
      return;
    case JCS_GRAYSCALE:
      for (JDIMENSION x = 0; x < width; ++x) out[x] = Word(in[x], in[x], in[x]);
      return;
    case JCS_CMYK:
      for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        const unsigned k = in[3];
        out[x] = Word(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
      }
      return;
    default: {
      // Files with 2 or more than 4 components leave the colour space unknown. The first three
      // components are taken as red, green and blue; with fewer, the first one as gray.
      const int n = cinfo.output_components;
      for (JDIMENSION x = 0; x < width; ++x, in += n) {
        out[x] = n >= 3 ? Word(in[0], in[1], in[2]) : Word(in[0], in[0], in[0]);
      }
      return;
    }
  }
}

// Keeps the segments that metadata can come from. Saving a marker is not a decompression parameter: the
// library reads every segment either way and only copies these aside. REQUIRES: before jpeg_read_header.
void SaveMetadataSegments(jpeg_decompress_struct* cinfo) {
  constexpr unsigned kWholeSegment = 0xFFFF;
  jpeg_save_markers(cinfo, JPEG_APP0 + 1, kWholeSegment);  // EXIF
  jpeg_save_markers(cinfo, JPEG_APP0 + 2, kWholeSegment);  // ICC profile chunks
}

// The metadata in the segments saved so far. Metadata that cannot be held in memory counts as absent.
PhotoMetadata ReadSavedMetadata(const jpeg_decompress_struct& cinfo) {
  try {
    std::vector<MarkerSegment> segments;
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
      segments.push_back(MarkerSegment{m->marker, m->data, m->data_length});
    }
    return ReadPhotoMetadata(segments);
  } catch (const std::bad_alloc&) {
    return PhotoMetadata();
  }
}

DecodeOutcome Report(DecodeReport* report, DecodeOutcome outcome, std::string reason = {}) {
  if (report != nullptr) *report = {outcome, std::move(reason)};
  return outcome;
}

}  // namespace

PackedDib DecodeJpegFile(const std::filesystem::path& path, DecodeReport* report, PhotoMetadata* metadata) {
  platform::ScopedWaitCursor busy;
  RasterImage raster;
  PhotoMetadata found;
  if (metadata != nullptr) *metadata = PhotoMetadata();

  platform::File file = platform::File::Open(path, "rb");
  if (!file.is_open()) {
    Report(report, DecodeOutcome::kCannotOpen, "cannot open the file");
    return PackedDib();
  }

  Decompressor jpeg;
  jpeg_decompress_struct* cinfo = jpeg.get();
  try {
    // Create, attach the source, read the header and the metadata before it.
    jpeg.Create();
    jpeg_stdio_src(cinfo, file.get());
    if (metadata != nullptr) SaveMetadataSegments(cinfo);
    jpeg_read_header(cinfo, TRUE);
    if (metadata != nullptr) found = ReadSavedMetadata(*cinfo);

    // Refuse giant pictures before anything is allocated for them.
    const std::int64_t pixels = std::int64_t{cinfo->image_width} * cinfo->image_height;
    if (pixels > kMaxPixels) {
      jpeg.Fail("the picture of " + std::to_string(cinfo->image_width) + " x " +
                std::to_string(cinfo->image_height) + " pixels is larger than the limit of " +
                std::to_string(kMaxPixels) + " pixels");
    }

    // Start with every parameter at its default.
    jpeg_start_decompress(cinfo);
    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    raster.CreateWhite(width, height);
    raster.Lock();
    if (raster.pixels() == nullptr) {
      Report(report, DecodeOutcome::kNoMemory, "not enough memory for the pixels");
      return PackedDib();
    }

    // Scanlines: the first one read is the top row, the last memory row.
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * cinfo->output_components);
    JSAMPROW rows[] = {row.data()};
    while (cinfo->output_scanline < cinfo->output_height) {
      if (jpeg_read_scanlines(cinfo, rows, 1) != 1) jpeg.Fail("the library delivered no scanline");
      const std::size_t memory_row = height - cinfo->output_scanline;
      ConvertScanline(*cinfo, row.data(), raster.pixels() + memory_row * width);
    }

    // Finish; the destructors destroy the object and then close the file.
    jpeg_finish_decompress(cinfo);
  } catch (const char*) {
    Report(report, DecodeOutcome::kUnreadable, jpeg.Reason());
    platform::ShowErrorBox(kReadErrorMessage);
    return PackedDib();
  }

  // The raster is of no further use here: its block is handed over, not copied.
  raster.Unlock();
  Report(report, DecodeOutcome::kDecoded);
  if (metadata != nullptr) *metadata = std::move(found);
  return raster.ReleasePacked();
}

}  // namespace imaging

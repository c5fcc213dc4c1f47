#include "imaging/jpeg_reader.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <new>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "imaging/jpeg_abort.h"  // jpeglib.h, which jerror.h needs first

#include <jerror.h>

#include "imaging/raster_image.h"
#include "platform/file.h"

namespace imaging {
namespace {

std::uint32_t Word(unsigned red, unsigned green, unsigned blue) { return red << 16 | green << 8 | blue; }

// Warnings that mean the library filled in or skipped picture data; others (an unknown JFIF version, a
// malformed colour profile) leave the pixels as the file meant them.
bool IsDamage(int code) {
  return code != JWRN_JFIF_MAJOR && code != JWRN_ADOBE_XFORM && code != JWRN_BOGUS_ICC;
}

}  // namespace

// The open file and the decompression object with its error manager, scan guard and warning record. The
// file is opened before the library object is created and closed after it is destroyed; the destructor
// destroys the object on every way out, which the library allows after any error.
class JpegReader::Decompressor {
 public:
  Decompressor() {
    cinfo_.err = UseJpegAbort(&err_);
    library_emit_ = err_.emit_message;
    err_.emit_message = &Decompressor::Emit;
    cinfo_.client_data = this;
    progress_.progress_monitor = &Decompressor::CountScans;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  // Runs `step` (library calls) and turns a fatal library error into kUnreadable.
  template <typename Step>
  Result Guard(Step step) {
    try {
      step();
      return Result{};
    } catch (const char*) {
      return Result::Failure(Outcome::kUnreadable, reason_.empty() ? LastJpegMessage(common()) : reason_);
    }
  }

  Result Start(const std::filesystem::path& path, PhotoMetadata* metadata) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
      return Result::Failure(Outcome::kCannotOpen, std::make_error_code(std::errc::is_a_directory).message());
    }
    file_ = platform::File::Open(path, "rb");
    if (!file_.is_open())
      return Result::Failure(Outcome::kCannotOpen, std::generic_category().message(errno));

    PhotoMetadata found;
    Result started = Guard([&] {
      // Create (which may fail for want of memory), attach the source, read the header and the metadata
      // before it.
      jpeg_create_decompress(&cinfo_);
      cinfo_.mem->max_memory_to_use = static_cast<long>(std::min<std::int64_t>(kMaxLibraryMemory, LONG_MAX));
      // Neither the monitor nor the memory cap is a decoding parameter: the pixels come out the same.
      cinfo_.progress = &progress_;
      jpeg_stdio_src(&cinfo_, file_.get());
      if (metadata != nullptr) SaveMetadataSegments();
      jpeg_read_header(&cinfo_, TRUE);
      if (metadata != nullptr) found = ReadSavedMetadata();

      // Refuse giant pictures before anything is allocated for them.
      const std::int64_t pixels = std::int64_t{cinfo_.image_width} * cinfo_.image_height;
      if (pixels > kMaxPixels) {
        Fail("the picture of " + std::to_string(cinfo_.image_width) + " x " +
             std::to_string(cinfo_.image_height) + " pixels is larger than the limit of " +
             std::to_string(kMaxPixels) + " pixels");
      }

      // Colour and gray pictures come out of the library as pixel words already; the same conversion
      // writes them, so the colours are those of plain RGB output to the last bit.
      direct_ = cinfo_.out_color_space == JCS_RGB || cinfo_.out_color_space == JCS_GRAYSCALE;
      if (direct_) cinfo_.out_color_space = JCS_EXT_BGRX;
      jpeg_start_decompress(&cinfo_);
    });
    if (!started.ok()) return started;
    if (!direct_) {
      try {
        samples_.resize(std::size_t{cinfo_.output_width} * cinfo_.output_components);
      } catch (const std::bad_alloc&) {
        return Result::Failure(Outcome::kNoMemory, "not enough memory for a row of pixels");
      }
    }
    if (metadata != nullptr) *metadata = std::move(found);
    return Result{};
  }

  Result ReadRows(std::uint32_t* const* rows, int count) {
    return Guard([&] {
      for (int done = 0; done < count;) {
        if (direct_) {
          // The library may deliver fewer rows than asked for; 0 means it has none to give.
          auto* targets = reinterpret_cast<JSAMPARRAY>(const_cast<std::uint32_t**>(rows + done));
          const JDIMENSION got = jpeg_read_scanlines(&cinfo_, targets, static_cast<JDIMENSION>(count - done));
          if (got == 0) Fail("the library delivered no scanline");
          done += static_cast<int>(got);
        } else {
          JSAMPROW sample_row = samples_.data();
          if (jpeg_read_scanlines(&cinfo_, &sample_row, 1) != 1) Fail("the library delivered no scanline");
          ConvertSamples(rows[done++]);
        }
      }
    });
  }

  Result Finish() {
    Result finished = Guard([&] { jpeg_finish_decompress(&cinfo_); });
    if (finished.ok() && !first_warning_.empty()) {
      finished.damaged = true;
      finished.reason = first_warning_;
    }
    return finished;
  }

  const jpeg_decompress_struct& cinfo() const { return cinfo_; }

 private:
  j_common_ptr common() { return reinterpret_cast<j_common_ptr>(&cinfo_); }

  // Stops the read as the library's own fatal errors do (kUnreadable), for `reason`.
  [[noreturn]] void Fail(std::string reason) {
    reason_ = std::move(reason);
    throw kJpegErrorText;
  }

  // A progressive file can hold thousands of tiny scans, each one a pass over the whole picture.
  static void CountScans(j_common_ptr cinfo) {
    auto* self = static_cast<Decompressor*>(cinfo->client_data);
    if (self->cinfo_.input_scan_number > kMaxScans) {
      self->Fail("more than " + std::to_string(kMaxScans) + " scans");
    }
  }

  // Keeps the first warning about damaged data; the library's own output of it goes on unless the
  // program reports warnings itself.
  static void Emit(j_common_ptr cinfo, int level) {
    auto* self = static_cast<Decompressor*>(cinfo->client_data);
    if (level < 0) {
      if (self->first_warning_.empty() && IsDamage(cinfo->err->msg_code)) {
        self->first_warning_ = LastJpegMessage(cinfo);
      }
      if (!CodecMessagesPrinted()) {
        ++cinfo->err->num_warnings;
        return;
      }
    }
    self->library_emit_(cinfo, level);
  }

  // Keeps the segments that metadata can come from. Saving a marker is not a decoding parameter: the
  // library reads every segment either way and only copies these aside.
  void SaveMetadataSegments() {
    constexpr unsigned kWholeSegment = 0xFFFF;
    jpeg_save_markers(&cinfo_, JPEG_APP0 + 1, kWholeSegment);  // EXIF
    jpeg_save_markers(&cinfo_, JPEG_APP0 + 2, kWholeSegment);  // ICC profile chunks
  }

  // The metadata in the segments saved so far. Metadata that cannot be held in memory counts as absent.
  PhotoMetadata ReadSavedMetadata() const {
    try {
      std::vector<MarkerSegment> segments;
      for (jpeg_saved_marker_ptr m = cinfo_.marker_list; m != nullptr; m = m->next) {
        segments.push_back(MarkerSegment{m->marker, m->data, m->data_length});
      }
      return ReadPhotoMetadata(segments);
    } catch (const std::bad_alloc&) {
      return PhotoMetadata();
    }
  }

  // The row just read in a colour space the library cannot deliver as words, as words.
  void ConvertSamples(std::uint32_t* out) const {
    const JDIMENSION width = cinfo_.output_width;
    const JSAMPLE* in = samples_.data();
    if (cinfo_.out_color_space == JCS_CMYK) {
      for (JDIMENSION x = 0; x < width; ++x, in += 4) {
        const unsigned k = in[3];
        out[x] = Word(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
      }
      return;
    }
    // Files with 2 or more than 4 components leave the colour space unknown. The first three components
    // are taken as red, green and blue; with fewer, the first one as gray.
    const int n = cinfo_.output_components;
    for (JDIMENSION x = 0; x < width; ++x, in += n) {
      out[x] = n >= 3 ? Word(in[0], in[1], in[2]) : Word(in[0], in[0], in[0]);
    }
  }

  platform::File file_;
  jpeg_error_mgr err_{};
  jpeg_progress_mgr progress_{};
  jpeg_decompress_struct cinfo_{};
  void (*library_emit_)(j_common_ptr, int) = nullptr;
  bool direct_ = false;
  std::vector<JSAMPLE> samples_;
  std::string reason_;
  std::string first_warning_;
};

JpegReader::JpegReader() : jpeg_(std::make_unique<Decompressor>()) {}
JpegReader::~JpegReader() = default;

Result JpegReader::Start(const std::filesystem::path& path, PhotoMetadata* metadata) {
  return jpeg_->Start(path, metadata);
}
int JpegReader::width() const { return static_cast<int>(jpeg_->cinfo().output_width); }
int JpegReader::height() const { return static_cast<int>(jpeg_->cinfo().output_height); }
int JpegReader::rows_read() const { return static_cast<int>(jpeg_->cinfo().output_scanline); }
Result JpegReader::ReadRows(std::uint32_t* const* rows, int count) { return jpeg_->ReadRows(rows, count); }
Result JpegReader::Finish() { return jpeg_->Finish(); }

}  // namespace imaging

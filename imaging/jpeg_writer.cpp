#include "imaging/jpeg_writer.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include "imaging/jpeg_abort.h"  // jpeglib.h, which jerror.h needs first

#include <jerror.h>

#include "imaging/photo_metadata.h"
#include "platform/file.h"
#include "platform/replacing_file.h"
#include "platform/standard_error.h"

namespace imaging {

// The output file and the compression object with its error manager. The file is created before the
// library object and, at Commit, closed after it is destroyed; the destructor destroys the object and
// then removes an uncommitted file on every way out.
class JpegWriter::Compressor {
 public:
  Compressor() { cinfo_.err = UseJpegAbort(&err_); }
  ~Compressor() { jpeg_destroy_compress(&cinfo_); }
  Compressor(const Compressor&) = delete;
  Compressor& operator=(const Compressor&) = delete;

  Result Start(const std::filesystem::path& path, int width, int height, int quality_tenths,
               const std::vector<unsigned char>& icc_profile) {
    output_.emplace(path);
    if (!output_->is_open()) {
      const std::string why = std::generic_category().message(errno);  // before anything else sets errno
      const std::string reason = "can't open " + platform::PathToUtf8(path);
      if (CodecMessagesPrinted()) platform::WriteStandardError(reason + "\n");
      return Result::Failure(Outcome::kFolderRefuses, reason + ": " + why);
    }
    return Guard([&] {
      // Create and attach the destination.
      jpeg_create_compress(&cinfo_);
      jpeg_stdio_dest(&cinfo_, output_->stream());

      // Parameters, in this order. A picture without pixels is described as 0 x 0, which the library
      // refuses when the compression starts. Pixel words go in as they are: the library converts them
      // to YCbCr exactly as it converts RGB samples.
      const bool has_pixels = width > 0 && height > 0;
      cinfo_.image_width = has_pixels ? static_cast<JDIMENSION>(width) : 0;
      cinfo_.image_height = has_pixels ? static_cast<JDIMENSION>(height) : 0;
      cinfo_.input_components = 4;
      cinfo_.in_color_space = JCS_EXT_BGRX;
      jpeg_set_defaults(&cinfo_);
      jpeg_set_quality(&cinfo_, quality_tenths * 10, TRUE);

      // Start (which writes the JFIF marker), then the profile's chunks.
      jpeg_start_compress(&cinfo_, TRUE);
      if (!icc_profile.empty() && icc_profile.size() <= kMaxIccProfileBytes) {
        jpeg_write_icc_profile(&cinfo_, icc_profile.data(), static_cast<unsigned>(icc_profile.size()));
      }
    });
  }

  Result WriteRow(const std::uint32_t* row) {
    return Guard([&] {
      JSAMPROW sample_row = reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(row));
      jpeg_write_scanlines(&cinfo_, &sample_row, 1);
    });
  }

  Result Finish() {
    return Guard([&] { jpeg_finish_compress(&cinfo_); });
  }

  Result Commit() {
    jpeg_destroy_compress(&cinfo_);
    // The library object is gone; now the file is closed and takes the destination's place.
    Outcome outcome = Outcome::kWriteFailed;
    switch (output_->Commit()) {
      case platform::ReplacingFile::CommitResult::kReplaced:
        return Result{};
      case platform::ReplacingFile::CommitResult::kFolderRefuses:
        outcome = Outcome::kFolderRefuses;
        break;
      case platform::ReplacingFile::CommitResult::kWriteFailed:
      case platform::ReplacingFile::CommitResult::kMoveFailed:
        break;
    }
    return Result::Failure(outcome, std::generic_category().message(errno));
  }

 private:
  // Runs `step` (library calls) and turns a fatal library error into kWriteFailed.
  template <typename Step>
  Result Guard(Step step) {
    try {
      step();
      return Result{};
    } catch (const char*) {
      // A write the system refused (a full disk, say) is told in the system's words.
      const int error = errno;
      return Result::Failure(Outcome::kWriteFailed,
                             err_.msg_code == JERR_FILE_WRITE && error != 0
                                 ? std::generic_category().message(error)
                                 : LastJpegMessage(reinterpret_cast<j_common_ptr>(&cinfo_)));
    }
  }

  std::optional<platform::ReplacingFile> output_;
  jpeg_error_mgr err_{};
  jpeg_compress_struct cinfo_{};
};

JpegWriter::JpegWriter() : jpeg_(std::make_unique<Compressor>()) {}
JpegWriter::~JpegWriter() = default;

Result JpegWriter::Start(const std::filesystem::path& path, int width, int height, int quality_tenths,
                         const std::vector<unsigned char>& icc_profile) {
  return jpeg_->Start(path, width, height, quality_tenths, icc_profile);
}
Result JpegWriter::WriteRow(const std::uint32_t* row) { return jpeg_->WriteRow(row); }
Result JpegWriter::Finish() { return jpeg_->Finish(); }
Result JpegWriter::Commit() { return jpeg_->Commit(); }

}  // namespace imaging

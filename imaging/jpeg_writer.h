// JpegWriter: one JPEG file written row by row from 32-bit pixel words (the fourth byte is ignored) as a
// baseline JPEG with the library's default settings at a given quality. The file is written under a
// temporary name beside its destination and takes the destination's place only at Commit, so on every
// other way out the destination keeps what it held and no partial file remains. The writer owns the
// file and the compression object and releases both on every way out. It shows nothing: a failure is its
// Result. One writer per thread.
#ifndef PIXMELD_IMAGING_JPEG_WRITER_H_
#define PIXMELD_IMAGING_JPEG_WRITER_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include "imaging/result.h"

namespace imaging {

class JpegWriter {
 public:
  JpegWriter();
  ~JpegWriter();
  JpegWriter(const JpegWriter&) = delete;
  JpegWriter& operator=(const JpegWriter&) = delete;

  // Creates the temporary file beside `path` (when that fails: kFolderRefuses, and "can't open <path>"
  // on standard error) and starts a picture of width x height at quality quality_tenths * 10. A
  // non-empty `icc_profile` of at most kMaxIccProfileBytes (photo_metadata.h) is embedded unchanged in
  // the standard APP2 chunks right after the JFIF marker; the file carries no other metadata. A picture
  // with no pixels fails here. REQUIRES: called once, first; the profile describes RGB.
  Result Start(const std::filesystem::path& path, int width, int height, int quality_tenths,
               const std::vector<unsigned char>& icc_profile = {});

  // Writes the next row, top first: width words. REQUIRES: Start succeeded and no call failed since.
  Result WriteRow(const std::uint32_t* row);

  // After the last row: completes the JPEG data. The destination is still untouched.
  Result Finish();

  // Closes the file, checking every buffered write, and puts it in the destination's place. A folder
  // that has gone, turned read-only or been replaced by a file since Start gives kFolderRefuses.
  // REQUIRES: Finish succeeded.
  Result Commit();

 private:
  class Compressor;
  std::unique_ptr<Compressor> jpeg_;
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_WRITER_H_

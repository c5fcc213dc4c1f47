// JpegReader: one JPEG file read row by row as 32-bit pixel words (blue, green, red, then a fourth byte
// whose value is unspecified), top row first, under the program's guards: at most kMaxPixels pixels,
// checked before anything is allocated for them, at most kMaxScans scans, and the library's own working
// memory capped at kMaxLibraryMemory (which also bounds a progressive file's coefficient buffer). The
// reader owns the open file and the decompression object and releases both on every way out. It shows
// nothing: a failure is its Result. One reader per thread.
#ifndef PIXMELD_IMAGING_JPEG_READER_H_
#define PIXMELD_IMAGING_JPEG_READER_H_

#include <cstdint>
#include <filesystem>
#include <memory>

#include "imaging/photo_metadata.h"
#include "imaging/result.h"

namespace imaging {

// What hostile files may cost: more scans than real encoders ever write (about 10), and a cap on the
// library's own working memory.
inline constexpr int kMaxScans = 500;
inline constexpr std::int64_t kMaxLibraryMemory = std::int64_t{2} << 30;

class JpegReader {
 public:
  JpegReader();
  ~JpegReader();
  JpegReader(const JpegReader&) = delete;
  JpegReader& operator=(const JpegReader&) = delete;

  // Opens `path`, reads the header (with `metadata`, also the orientation and RGB colour profile, which
  // never fail the read) and starts the decompression with every decoding parameter at the library's
  // default. REQUIRES: called once, first.
  Result Start(const std::filesystem::path& path, PhotoMetadata* metadata = nullptr);

  // The picture's size; valid after a successful Start.
  int width() const;
  int height() const;
  int rows_read() const;

  // Reads the next `count` rows into rows[0] to rows[count - 1], each width() words.
  // REQUIRES: Start succeeded, no earlier call failed, and rows_read() + count <= height().
  Result ReadRows(std::uint32_t* const* rows, int count);

  // Reads what follows the last row. A file can still fail here (a second frame after the data), so
  // nothing made from it counts as done before this succeeds. The result tells whether the library had
  // to fill in or skip data (`damaged`, with its first warning as the reason).
  // REQUIRES: every row was read.
  Result Finish();

 private:
  class Decompressor;
  std::unique_ptr<Decompressor> jpeg_;
};

}  // namespace imaging

#endif  // PIXMELD_IMAGING_JPEG_READER_H_

// Decodes JPEG files as the per-file step does - JpegReader, rows a batch at a time into a band - and
// does nothing else: what a build's decode alone costs. bench/windows_vs_linux.sh runs it built for
// Linux and for Windows (under Wine) to show what Wine itself costs on the same photos.
//
//   decode_only PHOTO...
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "imaging/jpeg_reader.h"
#include "imaging/shrinking_reader.h"
#include "platform/file.h"

int main(int argc, char** argv) {
  constexpr int kBatch = imaging::ShrinkingReader::kReadBatch;
  for (int a = 1; a < argc; ++a) {
    imaging::JpegReader reader;
    imaging::Result result = reader.Start(platform::PathFromUtf8(argv[a]));
    std::vector<std::uint32_t> band;
    if (result.ok()) band.resize(std::size_t(reader.width()) * kBatch);
    std::uint32_t* rows[kBatch];
    for (int r = 0; r < kBatch; ++r) rows[r] = band.data() + std::size_t(r) * reader.width();
    while (result.ok() && reader.rows_read() < reader.height()) {
      result = reader.ReadRows(rows, std::min(kBatch, reader.height() - reader.rows_read()));
    }
    if (result.ok()) result = reader.Finish();
    if (!result.ok()) {
      std::fprintf(stderr, "decode_only: %s: %s\n", argv[a], result.reason.c_str());
      return 1;
    }
  }
  return 0;
}

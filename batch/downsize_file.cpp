#include "batch/downsize_file.h"

#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "batch/fit_rule.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/jpeg_reader.h"
#include "imaging/jpeg_writer.h"
#include "imaging/orientation.h"
#include "imaging/photo_metadata.h"
#include "imaging/raster_image.h"
#include "imaging/shrinking_reader.h"
#include "platform/wait_cursor.h"

namespace batch {
namespace {

using imaging::Outcome;
using imaging::Result;

// The picture's rows at their fitted size, top first: read as they are, or scaled down on the way.
class FittedRows {
 public:
  explicit FittedRows(imaging::JpegReader& reader) : reader_(reader), shrinking_(reader) {}

  Result Start(PictureSize fitted, bool read_ahead) {
    if (fitted == PictureSize{reader_.width(), reader_.height()}) return Result{};
    scaled_ = true;
    // Never write the picture at the wrong size: without memory to scale it, nothing is written.
    return shrinking_.Start(fitted.width, fitted.height, read_ahead);
  }

  Result Next(std::uint32_t* row) { return scaled_ ? shrinking_.NextRow(row) : reader_.ReadRows(&row, 1); }

 private:
  imaging::JpegReader& reader_;
  imaging::ShrinkingReader shrinking_;
  bool scaled_ = false;
};

// Writes the rows straight to the file as they come.
Result StreamToFile(imaging::JpegReader& reader, FittedRows& rows, PictureSize size,
                    const std::filesystem::path& destination, const std::vector<unsigned char>& profile) {
  imaging::JpegWriter writer;
  Result result = writer.Start(destination, size.width, size.height, kOutputQualityTenths, profile);
  std::vector<std::uint32_t> row;
  if (result.ok()) row.resize(size.width);
  for (int y = 0; result.ok() && y < size.height; ++y) {
    result = rows.Next(row.data());
    if (result.ok()) result = writer.WriteRow(row.data());
  }
  if (result.ok()) result = writer.Finish();
  if (!result.ok()) return result;
  Result read = reader.Finish();
  if (!read.ok()) return read;
  result = writer.Commit();
  if (result.ok()) result = std::move(read);  // a damaged photo is written and reported as such
  return result;
}

// Gathers the rows in a raster at the fitted size, turns it upright and writes it.
Result TurnAndWrite(imaging::JpegReader& reader, FittedRows& rows, PictureSize size,
                    imaging::Orientation orientation, const std::filesystem::path& destination,
                    const std::vector<unsigned char>& profile) {
  imaging::RasterImage raster;
  raster.SetSize(size.width, size.height);
  raster.Lock();
  if (raster.pixels() == nullptr)
    return Result::Failure(Outcome::kNoMemory, "not enough memory for the picture");
  for (int y = 0; y < size.height; ++y) {
    Result result = rows.Next(raster.pixels() + std::size_t(size.height - 1 - y) * size.width);
    if (!result.ok()) return result;
  }
  raster.Unlock();
  Result read = reader.Finish();
  if (!read.ok()) return read;

  if (!imaging::TurnUpright(raster, orientation)) {
    return Result::Failure(Outcome::kNoMemory, "not enough memory to turn the picture upright");
  }
  Result result = imaging::EncodeRaster(destination, raster, kOutputQualityTenths, profile);
  if (result.ok()) result = std::move(read);
  return result;
}

}  // namespace

Result DownsizeFile(int max_edge, const std::filesystem::path& source,
                    const std::filesystem::path& destination, int threads) {
  platform::ScopedWaitCursor busy;
  // Writing over the source would destroy the user's original. Names can differ for the same file
  // (links, "./", letter case on Windows), so compare identities.
  std::error_code no_such_file;
  if (std::filesystem::equivalent(source, destination, no_such_file)) {
    return Result::Failure(Outcome::kWriteFailed, "the destination is the source file itself");
  }

  imaging::JpegReader reader;
  imaging::PhotoMetadata metadata;
  if (Result started = reader.Start(source, &metadata); !started.ok()) return started;

  // Fit and scale the picture as stored, then turn the result upright: the scaled pixels are those a
  // photo without an orientation gets, only moved.
  const PictureSize fitted = FitToMaxEdge(PictureSize{reader.width(), reader.height()}, max_edge);
  FittedRows rows(reader);
  if (threads <= 0) threads = static_cast<int>(std::thread::hardware_concurrency());
  if (Result started = rows.Start(fitted, threads >= 2); !started.ok()) return started;
  if (metadata.orientation == imaging::Orientation::kUpright) {
    return StreamToFile(reader, rows, fitted, destination, metadata.rgb_profile);
  }
  return TurnAndWrite(reader, rows, fitted, metadata.orientation, destination, metadata.rgb_profile);
}

}  // namespace batch

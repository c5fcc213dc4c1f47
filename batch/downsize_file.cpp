#include "batch/downsize_file.h"

#include <system_error>

#include "batch/fit_rule.h"
#include "imaging/jpeg_abort.h"
#include "imaging/jpeg_decoder.h"
#include "imaging/jpeg_encoder.h"
#include "imaging/orientation.h"
#include "imaging/photo_metadata.h"
#include "imaging/raster_image.h"
#include "platform/error_box.h"

namespace batch {
namespace {

DownsizeResult Refuse(DownsizeOutcome outcome, std::string reason) {
  platform::ShowErrorBox(OutcomeMessage(outcome));
  return DownsizeResult{outcome, std::move(reason)};
}

}  // namespace

const char* OutcomeMessage(DownsizeOutcome outcome) {
  switch (outcome) {
    case DownsizeOutcome::kWritten:
      return "";
    case DownsizeOutcome::kSourceUnreadable:
      return imaging::kReadErrorMessage;
    case DownsizeOutcome::kDestinationUnwritable:
    case DownsizeOutcome::kEncoderFailed:
      return imaging::kWriteErrorMessage;
  }
  return "";
}

DownsizeResult DownsizeFile(int max_edge, const std::filesystem::path& source,
                            const std::filesystem::path& destination, int resample_threads) {
  // Writing over the source would destroy the user's original. Names can differ for the same file
  // (links, "./", letter case on Windows), so compare identities.
  std::error_code no_such_file;
  if (std::filesystem::equivalent(source, destination, no_such_file)) {
    return Refuse(DownsizeOutcome::kDestinationUnwritable, "the destination is the source file itself");
  }

  imaging::DecodeReport report;
  imaging::PhotoMetadata metadata;
  imaging::PackedDib decoded = imaging::DecodeJpegFile(source, &report, &metadata);
  imaging::RasterImage raster;
  if (!raster.AdoptPacked(decoded)) return DownsizeResult{DownsizeOutcome::kSourceUnreadable, report.reason};

  // Fit and scale the picture as stored, then turn the result upright: the scaled pixels are those a
  // photo without an orientation gets, only moved.
  const PictureSize stored{raster.width(), raster.height()};
  const PictureSize fitted = FitToMaxEdge(stored, max_edge);
  if (!(fitted == stored)) {
    raster.Resample(fitted.width, fitted.height, resample_threads);
    // A failed allocation leaves the raster as it was; never write the picture at the wrong size.
    if (!(PictureSize{raster.width(), raster.height()} == fitted)) {
      return Refuse(DownsizeOutcome::kEncoderFailed, "not enough memory to scale the picture");
    }
  }

  if (!imaging::TurnUpright(raster, metadata.orientation)) {
    return Refuse(DownsizeOutcome::kEncoderFailed, "not enough memory to turn the picture upright");
  }

  imaging::PackedDib picture = raster.ReleasePacked();
  switch (imaging::EncodeJpegFile(destination, picture, kOutputQualityTenths, metadata.rgb_profile)) {
    case imaging::EncodeOutcome::kWritten:
      return DownsizeResult{};
    case imaging::EncodeOutcome::kDestinationUnwritable:
      return DownsizeResult{DownsizeOutcome::kDestinationUnwritable,
                            "cannot create the output file in the destination folder"};
    case imaging::EncodeOutcome::kEncoderFailed:
      break;
  }
  return DownsizeResult{DownsizeOutcome::kEncoderFailed, "the JPEG encoder failed"};
}

}  // namespace batch

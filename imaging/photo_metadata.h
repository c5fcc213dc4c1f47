// PhotoMetadata: the two facts of a JPEG file's marker segments that its shrunk copy keeps, the
// orientation recorded in its EXIF data and its ICC colour profile when that describes RGB, and the
// parsers that find them. The parsers are pure functions over bytes the caller owns: they read within
// the given sizes only, never fail, and give "nothing found" for anything malformed. Thread-safe.
#ifndef PIXMELD_IMAGING_PHOTO_METADATA_H_
#define PIXMELD_IMAGING_PHOTO_METADATA_H_

#include <cstddef>
#include <vector>

#include "imaging/orientation.h"

namespace imaging {

// A JPEG marker segment holds at most 65533 bytes, an ICC chunk 14 of them for its header, and a profile
// is split into at most 255 chunks.
inline constexpr std::size_t kMaxIccChunkData = 65533 - 14;
inline constexpr std::size_t kMaxIccProfileBytes = 255 * kMaxIccChunkData;

struct PhotoMetadata {
  Orientation orientation = Orientation::kUpright;
  std::vector<unsigned char> rgb_profile;  // an ICC profile of an RGB colour space, or empty
};

// One marker segment of a JPEG file: its marker code (0xE1 for APP1) and the bytes after its length field.
struct MarkerSegment {
  int marker = 0;
  const unsigned char* data = nullptr;
  std::size_t size = 0;
};

// The orientation in the payload of an APP1 segment: "Exif\0\0", a TIFF header in either byte order
// ("II" or "MM", 42, the offset of the first directory), and in that first directory (IFD0) tag 0x0112
// as one SHORT of value 1 to 8. Only IFD0 is read; its link to a further directory is never followed.
// kUpright for anything else: another identifier, a short header, a directory whose entries run past
// the end, a tag of another type or count or value, or the tag twice.
Orientation ExifOrientation(const unsigned char* data, std::size_t size);

// The ICC profile carried by the APP2 "ICC_PROFILE\0" chunks among `segments`: each chunk's data after
// its 14-byte header (signature, sequence number, count), joined in sequence-number order. Empty unless
// every chunk gives the same count, each number from 1 to that count appears exactly once and the chunks
// carry at least one byte between them, as the JPEG library's own reader asks. Other segments are
// passed over.
std::vector<unsigned char> ReassembleIccProfile(const std::vector<MarkerSegment>& segments);

// True when `profile` starts with a whole 128-byte ICC header that carries the 'acsp' signature and the
// colour space 'RGB '.
bool IsRgbIccProfile(const std::vector<unsigned char>& profile);

// Both facts from the segments of one file: the orientation from the first APP1 segment that starts
// with "Exif\0\0", and the reassembled profile when it describes RGB.
PhotoMetadata ReadPhotoMetadata(const std::vector<MarkerSegment>& segments);

}  // namespace imaging

#endif  // PIXMELD_IMAGING_PHOTO_METADATA_H_

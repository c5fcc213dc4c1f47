#include "imaging/photo_metadata.h"

#include <cstdint>
#include <cstring>

namespace imaging {
namespace {

constexpr int kApp1 = 0xE1;
constexpr int kApp2 = 0xE2;
constexpr unsigned char kExifId[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr unsigned char kIccId[12] = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0};
constexpr std::size_t kIccChunkHeader = sizeof kIccId + 2;  // signature, sequence number, count

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kTiffHeader = 8;
constexpr std::size_t kIfdEntry = 12;  // tag, type, count, value or offset

bool StartsWith(const unsigned char* data, std::size_t size, const unsigned char* prefix,
                std::size_t length) {
  return size >= length && std::memcmp(data, prefix, length) == 0;
}

// Reads the TIFF data of an EXIF segment in its byte order. Every read checks that it lies inside.
class TiffReader {
 public:
  TiffReader(const unsigned char* data, std::size_t size, bool big_endian)
      : data_(data), size_(size), big_endian_(big_endian) {}

  bool Fits(std::uint64_t offset, std::uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }

  bool U16(std::uint64_t offset, std::uint16_t* value) const {
    if (!Fits(offset, 2)) return false;
    const unsigned char* p = data_ + offset;
    *value = static_cast<std::uint16_t>(big_endian_ ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
    return true;
  }

  bool U32(std::uint64_t offset, std::uint32_t* value) const {
    std::uint16_t first, second;
    if (!U16(offset, &first) || !U16(offset + 2, &second)) return false;
    *value = big_endian_ ? std::uint32_t{first} << 16 | second : std::uint32_t{second} << 16 | first;
    return true;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  bool big_endian_;
};

}  // namespace

Orientation ExifOrientation(const unsigned char* data, std::size_t size) {
  if (!StartsWith(data, size, kExifId, sizeof kExifId)) return Orientation::kUpright;
  const unsigned char* tiff = data + sizeof kExifId;
  const std::size_t tiff_size = size - sizeof kExifId;
  if (tiff_size < kTiffHeader) return Orientation::kUpright;

  // TIFF header: byte order, 42, offset of IFD0 from the start of the header.
  bool big_endian;
  if (tiff[0] == 'I' && tiff[1] == 'I') {
    big_endian = false;
  } else if (tiff[0] == 'M' && tiff[1] == 'M') {
    big_endian = true;
  } else {
    return Orientation::kUpright;
  }
  const TiffReader tiff_data(tiff, tiff_size, big_endian);
  std::uint16_t magic, entries;
  std::uint32_t ifd0;
  if (!tiff_data.U16(2, &magic) || magic != 42 || !tiff_data.U32(4, &ifd0)) return Orientation::kUpright;

  // IFD0: a count, then the entries, which must all lie inside (the link after them is never read).
  if (!tiff_data.U16(ifd0, &entries) || !tiff_data.Fits(std::uint64_t{ifd0} + 2, entries * kIfdEntry)) {
    return Orientation::kUpright;
  }
  int found = 0;
  std::uint16_t value = 0;
  for (std::uint64_t entry = ifd0 + std::uint64_t{2}, end = entry + entries * kIfdEntry; entry < end;
       entry += kIfdEntry) {
    std::uint16_t tag, type;
    std::uint32_t count;
    if (!tiff_data.U16(entry, &tag)) return Orientation::kUpright;
    if (tag != kOrientationTag) continue;
    // One SHORT sits in the first two bytes of the four-byte value field, in either byte order.
    if (!tiff_data.U16(entry + 2, &type) || !tiff_data.U32(entry + 4, &count) ||
        !tiff_data.U16(entry + 8, &value) || type != kTypeShort || count != 1) {
      return Orientation::kUpright;
    }
    ++found;
  }
  if (found != 1 || value < 1 || value > 8) return Orientation::kUpright;
  return static_cast<Orientation>(value);
}

std::vector<unsigned char> ReassembleIccProfile(const std::vector<MarkerSegment>& segments) {
  // chunk[n] is the chunk with sequence number n; numbers are bytes, so 255 at most.
  const MarkerSegment* chunk[256] = {};
  int count = 0;
  for (const MarkerSegment& segment : segments) {
    if (segment.marker != kApp2 || segment.size < kIccChunkHeader ||
        !StartsWith(segment.data, segment.size, kIccId, sizeof kIccId)) {
      continue;
    }
    const int number = segment.data[12];
    const int chunk_count = segment.data[13];
    if (count == 0) count = chunk_count;
    if (chunk_count != count || number == 0 || number > count || chunk[number] != nullptr) return {};
    chunk[number] = &segment;
  }

  std::size_t total = 0;
  for (int number = 1; number <= count; ++number) {
    if (chunk[number] == nullptr) return {};
    total += chunk[number]->size - kIccChunkHeader;
  }
  std::vector<unsigned char> profile;
  profile.reserve(total);
  for (int number = 1; number <= count; ++number) {
    const MarkerSegment& part = *chunk[number];
    profile.insert(profile.end(), part.data + kIccChunkHeader, part.data + part.size);
  }
  return profile;
}

bool IsRgbIccProfile(const std::vector<unsigned char>& profile) {
  constexpr std::size_t kHeader = 128;
  return profile.size() >= kHeader && std::memcmp(&profile[16], "RGB ", 4) == 0 &&
         std::memcmp(&profile[36], "acsp", 4) == 0;
}

PhotoMetadata ReadPhotoMetadata(const std::vector<MarkerSegment>& segments) {
  PhotoMetadata metadata;
  for (const MarkerSegment& segment : segments) {
    if (segment.marker == kApp1 && StartsWith(segment.data, segment.size, kExifId, sizeof kExifId)) {
      metadata.orientation = ExifOrientation(segment.data, segment.size);
      break;
    }
  }
  std::vector<unsigned char> profile = ReassembleIccProfile(segments);
  if (IsRgbIccProfile(profile) && profile.size() <= kMaxIccProfileBytes)
    metadata.rgb_profile = std::move(profile);
  return metadata;
}

}  // namespace imaging

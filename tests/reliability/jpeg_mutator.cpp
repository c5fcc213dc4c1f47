#include "tests/reliability/jpeg_mutator.h"

#include <algorithm>
#include <array>

namespace reliability {
namespace {

constexpr int kSos = 0xDA;
constexpr int kEoi = 0xD9;

// Offsets inside a frame header (SOF): precision, height, width, component count, then three bytes per
// component (id, sampling factors, quantisation table).
constexpr std::size_t kFramePrecision = 4;
constexpr std::size_t kFrameHeight = 5;
constexpr std::size_t kFrameWidth = 7;
constexpr std::size_t kFrameComponents = 9;
// Inside a scan header (SOS): component count, then two bytes per component, then Ss, Se and Ah/Al.
constexpr std::size_t kScanComponents = 4;

// Pictures the corpus declares stay at most this large, or beyond the decoder's limit altogether.
constexpr std::uint64_t kLargestDeclared = 1 << 20;
constexpr std::uint64_t kBeyondTheLimit = std::uint64_t{16384} * 16384;

template <typename T, std::size_t N>
T Pick(const std::array<T, N>& choices, Random& random) {
  return choices[random.Below(N)];
}

std::size_t FieldOf(const Bytes& jpeg, std::size_t at) { return std::size_t{jpeg[at]} << 8 | jpeg[at + 1]; }

void PutField(Bytes& jpeg, std::size_t at, std::size_t value) {
  jpeg[at] = static_cast<unsigned char>(value >> 8);
  jpeg[at + 1] = static_cast<unsigned char>(value);
}

std::vector<Segment> SegmentsWith(const Bytes& jpeg, bool (*wanted)(int marker)) {
  std::vector<Segment> found;
  for (const Segment& segment : Segments(jpeg)) {
    if (wanted(segment.marker)) found.push_back(segment);
  }
  return found;
}

bool IsScan(int marker) { return marker == kSos; }
bool IsTable(int marker) { return marker == 0xDB || marker == 0xC4 || marker == 0xDD || marker == 0xCC; }
bool HasLength(int marker) { return marker != kEoi; }

// The end of the headers: where the first scan's entropy-coded data starts, or the whole file.
std::size_t HeaderEnd(const Bytes& jpeg) {
  for (const Segment& segment : Segments(jpeg)) {
    if (segment.marker == kSos && segment.at + 4 <= jpeg.size()) {
      return std::min(jpeg.size(), segment.at + 2 + FieldOf(jpeg, segment.at + 2));
    }
  }
  return jpeg.size();
}

// A position, half the time inside the headers, where one flipped bit changes the most.
std::size_t AnyPosition(const Bytes& jpeg, Random& random) {
  const std::size_t header_end = HeaderEnd(jpeg);
  return random.OneIn(2) && header_end > 0 ? random.Below(header_end) : random.Below(jpeg.size());
}

Bytes FlipBits(Bytes jpeg, Random& random) {
  if (jpeg.empty()) return jpeg;
  for (std::size_t n = 1 + random.Below(8); n > 0; --n) {
    jpeg[AnyPosition(jpeg, random)] ^= static_cast<unsigned char>(1 << random.Below(8));
  }
  return jpeg;
}

Bytes Truncate(Bytes jpeg, Random& random) {
  if (jpeg.empty()) return jpeg;
  jpeg.resize(AnyPosition(jpeg, random));
  return jpeg;
}

// Random bytes, a run of 0xFF, or a copy of another part of the file.
Bytes InsertChunk(Bytes jpeg, Random& random) {
  const std::size_t at = random.Below(jpeg.size() + 1);
  const std::size_t length = 1 + random.Below(256);
  Bytes chunk(length, 0xFF);
  const std::size_t how = random.Below(3);
  for (std::size_t i = 0; i < length; ++i) {
    if (how == 0) chunk[i] = static_cast<unsigned char>(random.Next());
    if (how == 2 && !jpeg.empty()) chunk[i] = jpeg[(at + i * 7) % jpeg.size()];
  }
  jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), chunk.begin(), chunk.end());
  return jpeg;
}

Bytes DeleteChunk(Bytes jpeg, Random& random) {
  if (jpeg.empty()) return jpeg;
  const std::size_t at = AnyPosition(jpeg, random);
  const std::size_t length = 1 + random.Below(std::min<std::size_t>(256, jpeg.size() - at));
  jpeg.erase(jpeg.begin() + static_cast<std::ptrdiff_t>(at),
             jpeg.begin() + static_cast<std::ptrdiff_t>(at + length));
  return jpeg;
}

// The first frame header that is whole, or null.
const Segment* WholeFrame(const Bytes& jpeg, const std::vector<Segment>& segments) {
  for (const Segment& segment : segments) {
    if (IsFrameMarker(segment.marker) && segment.at + kFrameComponents + 1 <= jpeg.size()) return &segment;
  }
  return nullptr;
}

Bytes PatchDimensions(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = Segments(jpeg);
  const Segment* frame = WholeFrame(jpeg, segments);
  if (frame == nullptr) return FlipBits(std::move(jpeg), random);
  constexpr std::array<std::size_t, 18> kEdges = {0,   1,   2,    7,    8,    9,     15,    16,    17,
                                                  255, 256, 1000, 4096, 8192, 32768, 32769, 65500, 65535};
  const auto edge = [&](std::size_t old) -> std::size_t {
    switch (random.Below(4)) {
      case 0:
        return old * 2;
      case 1:
        return old > 0 ? old - 1 + random.Below(3) : 1;
      case 2:
        return 1 + random.Below(2048);
      default:
        return Pick(kEdges, random);
    }
  };
  std::size_t height = edge(FieldOf(jpeg, frame->at + kFrameHeight)) & 0xFFFF;
  const std::size_t width = edge(FieldOf(jpeg, frame->at + kFrameWidth)) & 0xFFFF;
  const std::uint64_t area = std::uint64_t{width} * height;
  if (area > kLargestDeclared && area <= kBeyondTheLimit)
    height = std::max<std::size_t>(1, kLargestDeclared / width);
  PutField(jpeg, frame->at + kFrameHeight, height);
  PutField(jpeg, frame->at + kFrameWidth, width);
  return jpeg;
}

Bytes PatchPrecision(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = Segments(jpeg);
  const Segment* frame = WholeFrame(jpeg, segments);
  if (frame == nullptr) return FlipBits(std::move(jpeg), random);
  constexpr std::array<unsigned char, 10> kPrecisions = {0, 1, 2, 4, 7, 9, 12, 16, 255, 0x88};
  jpeg[frame->at + kFramePrecision] =
      random.OneIn(5) ? static_cast<unsigned char>(random.Next()) : Pick(kPrecisions, random);
  return jpeg;
}

// Another coding process: extended, progressive, lossless, hierarchical, arithmetic; or a second frame.
Bytes PatchProcess(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = Segments(jpeg);
  const Segment* frame = WholeFrame(jpeg, segments);
  if (frame == nullptr) return FlipBits(std::move(jpeg), random);
  if (random.OneIn(5)) {
    const Bytes copy(jpeg.begin() + static_cast<std::ptrdiff_t>(frame->at),
                     jpeg.begin() + static_cast<std::ptrdiff_t>(frame->at + frame->size));
    jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(frame->at + frame->size), copy.begin(),
                copy.end());
    return jpeg;
  }
  constexpr std::array<unsigned char, 13> kFrames = {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC6, 0xC7,
                                                     0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF};
  jpeg[frame->at + 1] = Pick(kFrames, random);
  return jpeg;
}

// More, fewer or different scans: one repeated up to 60 times, one removed, two neighbours swapped, or a scan
// header's component count, selectors or spectral and approximation fields changed.
Bytes ChangeScans(Bytes jpeg, Random& random) {
  const std::vector<Segment> scans = SegmentsWith(jpeg, IsScan);
  if (scans.empty()) return FlipBits(std::move(jpeg), random);
  const Segment scan = scans[random.Below(scans.size())];
  const auto begin = jpeg.begin() + static_cast<std::ptrdiff_t>(scan.at);
  const auto end = begin + static_cast<std::ptrdiff_t>(scan.size);
  const Bytes copy(begin, end);
  switch (random.Below(4)) {
    case 0: {
      Bytes repeated;
      for (std::size_t n = 1 + random.Below(60); n > 0; --n)
        repeated.insert(repeated.end(), copy.begin(), copy.end());
      jpeg.insert(end, repeated.begin(), repeated.end());
      return jpeg;
    }
    case 1:
      jpeg.erase(begin, end);
      return jpeg;
    case 2: {
      if (scans.size() < 2) {  // nothing to swap with: removed instead
        jpeg.erase(begin, end);
        return jpeg;
      }
      const std::size_t k = random.Below(scans.size() - 1);
      const auto at = [&](std::size_t offset) { return jpeg.begin() + static_cast<std::ptrdiff_t>(offset); };
      const Segment first = scans[k];
      const Segment second = scans[k + 1];
      Bytes swapped(jpeg.begin(), at(first.at));
      swapped.insert(swapped.end(), at(second.at), at(second.at + second.size));
      swapped.insert(swapped.end(), at(first.at + first.size), at(second.at));
      swapped.insert(swapped.end(), at(first.at), at(first.at + first.size));
      swapped.insert(swapped.end(), at(second.at + second.size), jpeg.end());
      return swapped;
    }
    default: {
      const std::size_t header = scan.at + 2 + std::min(scan.size - 2, FieldOf(jpeg, scan.at + 2));
      if (header <= scan.at + kScanComponents) return FlipBits(std::move(jpeg), random);
      constexpr std::array<unsigned char, 7> kCounts = {0, 1, 2, 3, 4, 5, 255};
      const std::size_t field = scan.at + kScanComponents + random.Below(header - scan.at - kScanComponents);
      jpeg[field] = field == scan.at + kScanComponents ? Pick(kCounts, random)
                                                       : static_cast<unsigned char>(random.Next());
      return jpeg;
    }
  }
}

// The frame's component count, or one component's id, sampling factors or quantisation table.
Bytes PatchComponents(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = Segments(jpeg);
  const Segment* frame = WholeFrame(jpeg, segments);
  if (frame == nullptr) return FlipBits(std::move(jpeg), random);
  const std::size_t count = jpeg[frame->at + kFrameComponents];
  const std::size_t available = std::min(count, (jpeg.size() - frame->at - kFrameComponents - 1) / 3);
  if (available == 0 || random.OneIn(4)) {
    constexpr std::array<unsigned char, 8> kCounts = {0, 1, 2, 3, 4, 5, 10, 255};
    jpeg[frame->at + kFrameComponents] = Pick(kCounts, random);
    return jpeg;
  }
  const std::size_t component = frame->at + kFrameComponents + 1 + 3 * random.Below(available);
  constexpr std::array<unsigned char, 11> kFactors = {0x00, 0x11, 0x12, 0x21, 0x22, 0x44,
                                                      0x41, 0x14, 0x88, 0x0F, 0xFF};
  switch (random.Below(3)) {
    case 0:
      jpeg[component] = static_cast<unsigned char>(
          random.Below(2) == 0 ? jpeg[frame->at + kFrameComponents + 1] : random.Next());
      break;
    case 1:
      jpeg[component + 1] = Pick(kFactors, random);
      break;
    default:
      jpeg[component + 2] = static_cast<unsigned char>(random.Below(6) == 5 ? 255 : random.Below(5));
  }
  return jpeg;
}

// Bytes inside a quantisation, Huffman, restart-interval or arithmetic-conditioning segment.
Bytes PatchTables(Bytes jpeg, Random& random) {
  const std::vector<Segment> tables = SegmentsWith(jpeg, IsTable);
  if (tables.empty()) return FlipBits(std::move(jpeg), random);
  const Segment table = tables[random.Below(tables.size())];
  if (table.size <= 4 || table.at + table.size > jpeg.size()) return FlipBits(std::move(jpeg), random);
  if (random.OneIn(4)) {
    std::fill(jpeg.begin() + static_cast<std::ptrdiff_t>(table.at + 4),
              jpeg.begin() + static_cast<std::ptrdiff_t>(table.at + table.size),
              random.OneIn(2) ? 0x00 : 0xFF);
    return jpeg;
  }
  for (std::size_t n = 1 + random.Below(8); n > 0; --n) {
    jpeg[table.at + 4 + random.Below(table.size - 4)] = static_cast<unsigned char>(random.Next());
  }
  return jpeg;
}

Bytes PatchLength(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = SegmentsWith(jpeg, HasLength);
  if (segments.empty()) return FlipBits(std::move(jpeg), random);
  const Segment segment = segments[random.Below(segments.size())];
  if (segment.at + 4 > jpeg.size()) return FlipBits(std::move(jpeg), random);
  const std::size_t old = FieldOf(jpeg, segment.at + 2);
  constexpr std::array<std::size_t, 6> kLengths = {0, 1, 2, 3, 0xFFFE, 0xFFFF};
  const std::size_t length = random.OneIn(2) ? Pick(kLengths, random) : (old + random.Below(9) - 4) & 0xFFFF;
  PutField(jpeg, segment.at + 2, length);
  return jpeg;
}

// A marker where none belongs: a second SOI, an early EOI, a restart marker, DNL, DHP, EXP, fill bytes,
// or an application segment of junk, placed between two segments or inside entropy-coded data.
Bytes InsertMarker(Bytes jpeg, Random& random) {
  const std::vector<Segment> segments = Segments(jpeg);
  std::size_t at = random.Below(jpeg.size() + 1);
  if (!segments.empty() && random.OneIn(2)) at = segments[random.Below(segments.size())].at;
  constexpr std::array<unsigned char, 10> kMarkers = {0xD8, 0xD9, 0xD0, 0xD7, 0xDC,
                                                      0xDE, 0xDF, 0xFF, 0xE1, 0xFE};
  const unsigned char marker = Pick(kMarkers, random);
  Bytes inserted = {0xFF, marker};
  if (marker == 0xDC || marker == 0xDE || marker == 0xDF || marker == 0xE1 || marker == 0xFE) {
    const std::size_t payload = random.Below(24);
    inserted.push_back(static_cast<unsigned char>((payload + 2) >> 8));
    inserted.push_back(static_cast<unsigned char>(payload + 2));
    for (std::size_t i = 0; i < payload; ++i) inserted.push_back(static_cast<unsigned char>(random.Next()));
  }
  jpeg.insert(jpeg.begin() + static_cast<std::ptrdiff_t>(at), inserted.begin(), inserted.end());
  return jpeg;
}

using Mutation = Bytes (*)(Bytes jpeg, Random& random);
struct NamedMutation {
  const char* name;
  Mutation mutate;
};
constexpr NamedMutation kMutations[] = {
    {"bitflips", FlipBits},    {"truncated", Truncate},         {"inserted", InsertChunk},
    {"deleted", DeleteChunk},  {"dimensions", PatchDimensions}, {"precision", PatchPrecision},
    {"process", PatchProcess}, {"scans", ChangeScans},          {"components", PatchComponents},
    {"tables", PatchTables},   {"lengths", PatchLength},        {"markers", InsertMarker},
};

}  // namespace

std::uint64_t Random::Next() {
  std::uint64_t z = state_ += 0x9E3779B97F4A7C15u;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

std::uint64_t SeedOf(std::string_view name) {
  std::uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
  return hash;
}

std::vector<Segment> Segments(const Bytes& jpeg) {
  std::vector<Segment> segments;
  std::size_t at = 2;  // after SOI
  while (at + 1 < jpeg.size() && jpeg[at] == 0xFF) {
    const int marker = jpeg[at + 1];
    if (marker == kEoi) {
      segments.push_back({at, marker, 2});
      break;
    }
    if (at + 4 > jpeg.size()) break;
    std::size_t end = std::min(jpeg.size(), at + 2 + FieldOf(jpeg, at + 2));
    if (marker == kSos) {
      // Entropy-coded data runs to the next marker other than a stuffed zero or a restart marker.
      while (end + 1 < jpeg.size() &&
             !(jpeg[end] == 0xFF && jpeg[end + 1] != 0 && (jpeg[end + 1] < 0xD0 || jpeg[end + 1] > 0xD7))) {
        ++end;
      }
      if (end + 1 >= jpeg.size()) end = jpeg.size();
    }
    if (end <= at + 2) break;
    segments.push_back({at, marker, end - at});
    at = end;
  }
  return segments;
}

bool IsFrameMarker(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

const std::vector<std::string>& MutationNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const NamedMutation& mutation : kMutations) list.push_back(mutation.name);
    return list;
  }();
  return names;
}

Bytes Mutate(const Bytes& jpeg, std::size_t kind, Random& random) {
  return kMutations[kind % std::size(kMutations)].mutate(jpeg, random);
}

}  // namespace reliability

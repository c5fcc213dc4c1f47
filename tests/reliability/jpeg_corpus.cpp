#include "tests/reliability/jpeg_corpus.h"

#include <algorithm>
#include <cstdio>
#include <functional>

#include "tests/support/jpeg_fixtures.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::ExifEntry;
using testing_support::ExifOrientationSegment;
using testing_support::ExifSegment;
using testing_support::IccChunk;
using testing_support::IccChunks;
using testing_support::IccProfile;
using testing_support::JpegRecipe;
using testing_support::MakeJpeg;

constexpr int kApp1 = JPEG_APP0 + 1;
constexpr int kApp2 = JPEG_APP0 + 2;
constexpr int kScansOfTheManyScansFile = 5000;

// A smooth picture with fine noise, in integer arithmetic only so that it is the same everywhere.
std::uint8_t PhotoSample(int x, int y, int c) {
  const auto triangle = [](int t) {
    t &= 511;
    return t < 256 ? t : 511 - t;
  };
  std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u ^
                    static_cast<std::uint32_t>(c + 1) * 83492791u;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  const int noise = static_cast<int>(h % 13) - 6;
  const int value = (triangle(x * 3 + y + c * 90) + triangle(y * 2 - x + c * 40 + 1000)) / 2 + noise;
  return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

JpegRecipe Recipe(int width, int height, J_COLOR_SPACE color_space = JCS_RGB, int components = 3) {
  JpegRecipe recipe;
  recipe.width = width;
  recipe.height = height;
  recipe.color_space = color_space;
  recipe.components = components;
  recipe.quality = 90;
  recipe.sample = PhotoSample;
  return recipe;
}

JpegRecipe Progressive(JpegRecipe recipe) {
  recipe.progressive = true;
  return recipe;
}

JpegRecipe Arithmetic(JpegRecipe recipe) {
  recipe.arithmetic = true;
  return recipe;
}

JpegRecipe Restarts444(JpegRecipe recipe) {
  recipe.subsample = false;
  recipe.restart_rows = 1;
  return recipe;
}

// Five components: more than one scan may carry, so two sequential scans. (The system's library
// 2.1.5 cannot read such files back; they stay among the crafted files, not the seeds.)
JpegRecipe FiveComponents(int width, int height) {
  JpegRecipe recipe = Recipe(width, height, JCS_UNKNOWN, 5);
  recipe.scans = {{4, {0, 1, 2, 3}, 0, 63, 0, 0}, {1, {4}, 0, 63, 0, 0}};
  return recipe;
}

JpegRecipe WithMarker(JpegRecipe recipe, int marker, Bytes payload) {
  recipe.markers.emplace_back(marker, std::move(payload));
  return recipe;
}

JpegRecipe WithIcc(JpegRecipe recipe, const char* colour_space, std::size_t size, int chunks) {
  for (Bytes& chunk : IccChunks(IccProfile(colour_space, size), chunks)) {
    recipe.markers.emplace_back(kApp2, std::move(chunk));
  }
  return recipe;
}

// An EXIF block as cameras write it: make, orientation, resolution, and a link to a sub-directory.
Bytes RichExif(bool big_endian, int orientation) {
  return ExifSegment(big_endian, {{0x010F, 2, 4, 0x00584950},
                                  {0x0112, 3, 1, static_cast<std::uint32_t>(orientation)},
                                  {0x011A, 5, 1, 0x40},
                                  {0x0128, 3, 1, 2},
                                  {0x8769, 4, 1, 0x60}});
}

CorpusFile File(std::string name, Bytes bytes) {
  return CorpusFile{std::move(name) + ".jpg", std::move(bytes)};
}

std::size_t Field(const Bytes& jpeg, std::size_t at) { return std::size_t{jpeg[at]} << 8 | jpeg[at + 1]; }

const Segment& FrameOf(const std::vector<Segment>& segments) {
  return *std::find_if(segments.begin(), segments.end(),
                       [](const Segment& s) { return IsFrameMarker(s.marker); });
}

// `jpeg` with its frame declaring `width` x `height`, and optionally another frame marker and precision.
Bytes Reframed(Bytes jpeg, std::size_t width, std::size_t height, int marker = -1, int precision = -1) {
  const Segment frame = FrameOf(Segments(jpeg));
  jpeg[frame.at + 5] = static_cast<unsigned char>(height >> 8);
  jpeg[frame.at + 6] = static_cast<unsigned char>(height);
  jpeg[frame.at + 7] = static_cast<unsigned char>(width >> 8);
  jpeg[frame.at + 8] = static_cast<unsigned char>(width);
  if (marker >= 0) jpeg[frame.at + 1] = static_cast<unsigned char>(marker);
  if (precision >= 0) jpeg[frame.at + 4] = static_cast<unsigned char>(precision);
  return jpeg;
}

// A progressive file whose last scan repeats until there are `scans` of them. A flat picture keeps each
// repeat to a few bytes, while every scan is still a pass over the whole picture.
Bytes ManyScans(int width, int height, int scans) {
  JpegRecipe recipe = Progressive(Recipe(width, height, JCS_GRAYSCALE, 1));
  recipe.sample = [](int, int, int) { return std::uint8_t{100}; };
  const Bytes jpeg = MakeJpeg(recipe);
  const std::vector<Segment> segments = Segments(jpeg);
  const int written = static_cast<int>(
      std::count_if(segments.begin(), segments.end(), [](const Segment& s) { return s.marker == 0xDA; }));
  const Segment last =
      *std::find_if(segments.rbegin(), segments.rend(), [](const Segment& s) { return s.marker == 0xDA; });
  Bytes many(jpeg.begin(), jpeg.begin() + static_cast<std::ptrdiff_t>(last.at + last.size));
  for (int n = written; n < scans; ++n) {
    many.insert(many.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(last.at),
                jpeg.begin() + static_cast<std::ptrdiff_t>(last.at + last.size));
  }
  many.push_back(0xFF);
  many.push_back(0xD9);
  return many;
}

// A hierarchical file: a DHP segment (the frame's own fields) before a differential frame.
Bytes Hierarchical(int frame_marker) {
  const Bytes jpeg = Reframed(MakeJpeg(Recipe(16, 16)), 16, 16, frame_marker);
  const Segment frame = FrameOf(Segments(jpeg));
  Bytes dhp(jpeg.begin() + static_cast<std::ptrdiff_t>(frame.at),
            jpeg.begin() + static_cast<std::ptrdiff_t>(frame.at + frame.size));
  dhp[1] = 0xDE;
  Bytes file = jpeg;
  file.insert(file.begin() + static_cast<std::ptrdiff_t>(frame.at), dhp.begin(), dhp.end());
  return file;
}

Bytes RandomBytes(std::size_t size, std::uint64_t seed) {
  Random random(seed);
  Bytes bytes(size);
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random.Next());
  return bytes;
}

Bytes WithoutSegments(const Bytes& jpeg, bool (*drop)(int marker)) {
  Bytes kept(jpeg.begin(), jpeg.begin() + 2);
  for (const Segment& segment : Segments(jpeg)) {
    if (!drop(segment.marker)) {
      kept.insert(kept.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(segment.at),
                  jpeg.begin() + static_cast<std::ptrdiff_t>(segment.at + segment.size));
    }
  }
  return kept;
}

// Crafted files that a reader may or may not turn into a picture; each must still end in one of the two.
std::vector<CorpusFile> OtherCraftedFiles() {
  std::vector<CorpusFile> files;
  const Bytes small = MakeJpeg(Recipe(16, 16));
  const std::vector<Segment> segments = Segments(small);
  files.push_back(File("soi-eoi", {0xFF, 0xD8, 0xFF, 0xD9}));
  files.push_back(File("zeros-4096", Bytes(4096, 0x00)));
  files.push_back(File("fill-bytes-4096", Bytes(4096, 0xFF)));
  Bytes after_soi = RandomBytes(4096, 7);
  after_soi[0] = 0xFF, after_soi[1] = 0xD8;
  files.push_back(File("random-after-soi", after_soi));
  files.push_back(File("scans-5000-progressive-1024x1024", ManyScans(1024, 1024, kScansOfTheManyScansFile)));
  files.push_back(File("no-frame", WithoutSegments(small, IsFrameMarker)));
  const Segment scan =
      *std::find_if(segments.begin(), segments.end(), [](const Segment& s) { return s.marker == 0xDA; });
  files.push_back(File("headers-then-eof",
                       Bytes(small.begin(), small.begin() + static_cast<std::ptrdiff_t>(
                                                                scan.at + 2 + Field(small, scan.at + 2)))));
  files.push_back(File("one-pixel", MakeJpeg(Recipe(1, 1))));
  files.push_back(File("strip-65500x1", MakeJpeg(Recipe(65500, 1, JCS_GRAYSCALE, 1))));
  files.push_back(File("strip-1x65500", MakeJpeg(Recipe(1, 65500, JCS_GRAYSCALE, 1))));
  files.push_back(File("strip-65500x16", MakeJpeg(Recipe(65500, 16))));
  files.push_back(File("declared-1024x1024-with-16x16-data", Reframed(small, 1024, 1024)));
  files.push_back(
      File("declared-65500x16-progressive", Reframed(MakeJpeg(Progressive(Recipe(16, 16))), 65500, 16)));
  files.push_back(File("two-components", MakeJpeg(Recipe(40, 30, JCS_UNKNOWN, 2))));
  files.push_back(File("five-components", MakeJpeg(FiveComponents(40, 30))));
  // Many small segments before the frame.
  Bytes comments(small.begin(), small.begin() + 2);
  for (int n = 0; n < 20000; ++n) comments.insert(comments.end(), {0xFF, 0xFE, 0x00, 0x02});
  comments.insert(comments.end(), small.begin() + 2, small.end());
  files.push_back(File("comments-20000", comments));
  // EXIF that points outside itself, loops back to its own directory, or claims 65535 entries.
  Bytes loop = ExifOrientationSegment(6);
  loop[loop.size() - 4] = 8;
  files.push_back(File("exif-directory-loop", MakeJpeg(WithMarker(Recipe(32, 24), kApp1, loop))));
  Bytes many_entries = ExifOrientationSegment(6, true);
  many_entries[14] = many_entries[15] = 0xFF;
  files.push_back(File("exif-65535-entries", MakeJpeg(WithMarker(Recipe(32, 24), kApp1, many_entries))));
  files.push_back(File(
      "exif-offsets-beyond",
      MakeJpeg(WithMarker(Recipe(32, 24), kApp1,
                          ExifSegment(false, {{0x0112, 3, 4, 0xFFFFFFF0}, {0x8769, 4, 1, 0xFFFFFFF0}})))));
  files.push_back(File("exif-truncated",
                       MakeJpeg(WithMarker(Recipe(32, 24), kApp1, {'E', 'x', 'i', 'f', 0, 0, 'I', 'I'}))));
  // ICC chunks: the largest profile a file can carry, gaps, disagreeing counts, a chunk without data.
  files.push_back(
      File("icc-255-full-chunks", MakeJpeg(WithIcc(Recipe(32, 24), "RGB ", 255 * (65533 - 14), 255))));
  JpegRecipe gaps = Recipe(32, 24);
  const Bytes profile = IccProfile("RGB ", 3000);
  std::vector<Bytes> chunks = IccChunks(profile, 3);
  gaps.markers = {{kApp2, chunks[0]}, {kApp2, chunks[2]}};
  files.push_back(File("icc-chunk-missing", MakeJpeg(gaps)));
  gaps.markers = {
      {kApp2, chunks[0]}, {kApp2, chunks[1]}, {kApp2, chunks[2]}, {kApp2, IccChunk(2, 4, profile)}};
  files.push_back(File("icc-counts-disagree", MakeJpeg(gaps)));
  gaps.markers = {{kApp2, IccChunk(1, 2, profile)}, {kApp2, IccChunk(2, 2, {})}};
  files.push_back(File("icc-empty-chunk", MakeJpeg(gaps)));
  gaps.markers = {{kApp2, IccChunk(0, 0, profile)}};
  files.push_back(File("icc-chunk-zero-of-zero", MakeJpeg(gaps)));
  files.push_back(File("icc-header-only-rgb", MakeJpeg(WithIcc(Recipe(32, 24), "RGB ", 128, 1))));
  files.push_back(File("icc-cmyk-on-rgb", MakeJpeg(WithIcc(Recipe(32, 24), "CMYK", 600, 2))));
  return files;
}

struct Base {
  const char* part;
  int mutations;
  std::function<JpegRecipe()> recipe;
};

const std::vector<Base>& Bases() {
  static const std::vector<Base> bases = {
      {"baseline", 375, [] { return WithMarker(Recipe(320, 240), kApp1, ExifOrientationSegment(6)); }},
      {"progressive", 375,
       [] { return WithMarker(Progressive(Recipe(256, 192)), kApp1, ExifOrientationSegment(3, true)); }},
      {"arithmetic", 375, [] { return Arithmetic(Recipe(200, 150)); }},
      {"arithmetic-progressive", 375, [] { return Arithmetic(Progressive(Recipe(160, 120))); }},
      {"gray", 375, [] { return Recipe(300, 200, JCS_GRAYSCALE, 1); }},
      {"cmyk", 375, [] { return Recipe(128, 96, JCS_CMYK, 4); }},
      {"restarts-444", 375, [] { return Restarts444(Recipe(240, 160)); }},
      {"metadata", 375,
       [] { return WithIcc(WithMarker(Recipe(96, 64), kApp1, RichExif(true, 8)), "RGB ", 600, 3); }},
      {"photo-1mp", 100, [] { return Recipe(1024, 1024); }},
  };
  return bases;
}

std::string Numbered(int index) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04d", index);
  return digits;
}

}  // namespace

std::vector<CorpusFile> SeedCorpus() {
  std::vector<CorpusFile> seeds;
  const auto seed = [&](std::string name, const JpegRecipe& recipe) {
    seeds.push_back(File(std::move(name), MakeJpeg(recipe)));
  };
  seed("baseline-420", Recipe(32, 24));
  seed("baseline-444-restarts", Restarts444(Recipe(24, 16)));
  seed("progressive", Progressive(Recipe(32, 32)));
  seed("arithmetic", Arithmetic(Recipe(24, 24)));
  seed("arithmetic-progressive", Arithmetic(Progressive(Recipe(24, 16))));
  seed("gray", Recipe(24, 16, JCS_GRAYSCALE, 1));
  seed("gray-progressive", Progressive(Recipe(16, 16, JCS_GRAYSCALE, 1)));
  seed("cmyk", Recipe(16, 16, JCS_CMYK, 4));
  seed("two-components", Recipe(16, 8, JCS_UNKNOWN, 2));
  seed("exif-orientation-6-little-endian", WithMarker(Recipe(24, 16), kApp1, ExifOrientationSegment(6)));
  seed("exif-orientation-8-big-endian", WithMarker(Recipe(16, 24), kApp1, ExifOrientationSegment(8, true)));
  seed("exif-rich", WithMarker(Recipe(16, 16), kApp1, RichExif(false, 5)));
  seed("icc-rgb-one-chunk", WithIcc(Recipe(16, 16), "RGB ", 300, 1));
  seed("icc-rgb-three-chunks", WithIcc(Recipe(16, 16), "RGB ", 300, 3));
  seed("icc-cmyk", WithIcc(Recipe(16, 16, JCS_CMYK, 4), "CMYK", 200, 1));
  seed("exif-icc-progressive",
       WithIcc(WithMarker(Progressive(Recipe(24, 24)), kApp1, RichExif(true, 7)), "RGB ", 400, 2));
  seed("one-pixel", Recipe(1, 1));
  seed("strip-wide", Recipe(200, 2));
  seed("strip-tall", Recipe(2, 200, JCS_GRAYSCALE, 1));
  return seeds;
}

std::vector<std::string> BadCorpusParts() {
  std::vector<std::string> parts = {"crafted"};
  for (const Base& base : Bases()) parts.push_back(base.part);
  return parts;
}

std::vector<CorpusFile> BadCorpusPart(const std::string& part) {
  std::vector<CorpusFile> files;
  if (part == "crafted") {
    files = UnreadableFiles();
    for (CorpusFile& file : OtherCraftedFiles()) files.push_back(std::move(file));
    for (CorpusFile& file : files) file.name = "crafted-" + file.name;
    return files;
  }
  const Base& base =
      *std::find_if(Bases().begin(), Bases().end(), [&](const Base& b) { return b.part == part; });
  const Bytes original = MakeJpeg(base.recipe());
  const std::vector<std::string>& names = MutationNames();
  Random random(SeedOf(part));
  for (int i = 0; i < base.mutations; ++i) {
    const std::size_t kind = static_cast<std::size_t>(i) % names.size();
    std::string name = part + "-" + Numbered(i) + "-" + names[kind];
    Bytes bytes = Mutate(original, kind, random);
    if (random.OneIn(4)) {
      const std::size_t second = random.Below(names.size());
      bytes = Mutate(bytes, second, random);
      name += "+" + names[second];
    }
    files.push_back(File(std::move(name), std::move(bytes)));
  }
  return files;
}

std::vector<CorpusFile> UnreadableFiles() {
  const Bytes small = MakeJpeg(Recipe(16, 16));
  const Bytes small_progressive = MakeJpeg(Progressive(Recipe(16, 16)));
  std::vector<CorpusFile> files;
  files.push_back(File("empty", {}));
  files.push_back(File("soi-only", {0xFF, 0xD8}));
  const std::string text = "This is a text file, not a photo.\n";
  files.push_back(File("text", Bytes(text.begin(), text.end())));
  files.push_back(File("random-1", RandomBytes(1, 1)));
  files.push_back(File("random-100", RandomBytes(100, 2)));
  files.push_back(File("random-65536", RandomBytes(65536, 3)));
  files.push_back(File("giant-65500x65500-baseline", Reframed(small, 65500, 65500)));
  files.push_back(File("giant-65500x65500-progressive", Reframed(small_progressive, 65500, 65500)));
  files.push_back(File("giant-32769x32768-baseline", Reframed(small, 32769, 32768)));
  files.push_back(File("giant-32769x32768-progressive", Reframed(small_progressive, 32769, 32768)));
  files.push_back(File("giant-16385x16384-baseline", Reframed(small, 16385, 16384)));
  files.push_back(File("scans-5000-progressive-64x64", ManyScans(64, 64, kScansOfTheManyScansFile)));
  files.push_back(File("precision-12-extended", Reframed(small, 16, 16, 0xC1, 12)));
  files.push_back(File("precision-12-progressive", Reframed(small_progressive, 16, 16, 0xC2, 12)));
  files.push_back(File("precision-16", Reframed(small, 16, 16, 0xC1, 16)));
  files.push_back(File("lossless-huffman", Reframed(small, 16, 16, 0xC3)));
  files.push_back(File("lossless-arithmetic", Reframed(small, 16, 16, 0xCB)));
  files.push_back(File("hierarchical-sequential", Hierarchical(0xC5)));
  files.push_back(File("hierarchical-progressive", Hierarchical(0xC6)));
  files.push_back(File("hierarchical-lossless", Hierarchical(0xC7)));
  files.push_back(File("hierarchical-arithmetic", Hierarchical(0xCD)));
  files.push_back(File("no-scan", WithoutSegments(small, [](int marker) { return marker == 0xDA; })));
  return files;
}

std::vector<CorpusFile> PhotoKinds() {
  return {
      File("baseline", MakeJpeg(Recipe(1024, 768))),
      File("progressive", MakeJpeg(Progressive(Recipe(1024, 768)))),
      File("arithmetic", MakeJpeg(Arithmetic(Recipe(1024, 768)))),
      File("gray", MakeJpeg(Recipe(1024, 768, JCS_GRAYSCALE, 1))),
      File("cmyk", MakeJpeg(Recipe(1024, 768, JCS_CMYK, 4))),
      File("restarts-444", MakeJpeg(Restarts444(Recipe(1024, 768)))),
      File("exif-orientation-6", MakeJpeg(WithMarker(Recipe(1024, 768), kApp1, RichExif(false, 6)))),
      File("icc-rgb", MakeJpeg(WithIcc(Recipe(768, 1024), "RGB ", 3000, 1))),
  };
}

void WriteMixedBatch(const std::filesystem::path& folder, int good, int bad) {
  std::filesystem::create_directories(folder);
  const std::vector<CorpusFile> photos = PhotoKinds();
  const std::vector<CorpusFile> unreadable = UnreadableFiles();
  const int total = good + bad;
  int photo = 0;
  int broken = 0;
  for (int i = 0; i < total; ++i) {
    // Position i is bad when the running share of bad files steps up there.
    const bool is_bad = (i + 1) * bad / total > i * bad / total;
    const Bytes& bytes =
        is_bad ? unreadable[broken++ % unreadable.size()].bytes : photos[photo++ % photos.size()].bytes;
    testing_support::WriteBytes(folder / ("file-" + Numbered(i + 1) + ".jpg"), bytes);
  }
}

void WriteFiles(const std::filesystem::path& folder, const std::vector<CorpusFile>& files) {
  std::filesystem::create_directories(folder);
  for (const CorpusFile& file : files) testing_support::WriteBytes(folder / file.name, file.bytes);
}

}  // namespace reliability

// The generated corpora are what the fuzzer and the reliability checks rely on: seeds of every kind that
// the library reads, a bad-input corpus of the promised size made the same way every time, and crafted
// files that are what their names say.
#include "tests/reliability/jpeg_corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "imaging/jpeg_abort.h"
#include "imaging/jpeg_decoder.h"
#include "tests/support/recording_error_box.h"
#include "tests/support/temp_dir.h"

namespace reliability {
namespace {

using testing_support::RecordingErrorBox;
using testing_support::TempDir;
using testing_support::WriteBytes;

const CorpusFile& Named(const std::vector<CorpusFile>& files, const std::string& name) {
  const auto found =
      std::find_if(files.begin(), files.end(), [&](const CorpusFile& f) { return f.name == name; });
  if (found == files.end()) throw std::runtime_error("no file " + name);
  return *found;
}

// What a seed's header says about it, as the library reads it.
struct SeedFacts {
  bool progressive = false;
  bool arithmetic = false;
  J_COLOR_SPACE color_space = JCS_UNKNOWN;
  int components = 0;
  int luma_h = 0;
  bool restarts = false;
  int exif_segments = 0;
  int icc_chunks = 0;
};

SeedFacts ReadSeedFacts(const Bytes& jpeg) {
  jpeg_error_mgr err{};
  jpeg_decompress_struct cinfo{};
  cinfo.err = imaging::UseJpegAbort(&err);
  SeedFacts facts;
  try {
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    facts = {cinfo.progressive_mode != 0,
             cinfo.arith_code != 0,
             cinfo.jpeg_color_space,
             cinfo.num_components,
             cinfo.comp_info[0].h_samp_factor,
             cinfo.restart_interval > 0,
             0,
             0};
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
      (m->marker == JPEG_APP0 + 1 ? facts.exif_segments : facts.icc_chunks) += 1;
    }
  } catch (const char*) {
    ADD_FAILURE() << "the library cannot read the header";
  }
  jpeg_destroy_decompress(&cinfo);
  return facts;
}

TEST(JpegCorpusTest, TheSeedsAreValidAndCoverEveryKind) {
  RecordingErrorBox boxes;
  TempDir dir;
  int progressive = 0, arithmetic = 0, gray = 0, cmyk = 0, other_components = 0, full_chroma = 0;
  int restarts = 0, exif = 0, icc = 0, multi_chunk_icc = 0;
  for (const CorpusFile& seed : SeedCorpus()) {
    SCOPED_TRACE(seed.name);
    EXPECT_LT(seed.bytes.size(), 8000u) << "seeds stay small, so the fuzzer runs fast";
    WriteBytes(dir / seed.name, seed.bytes);
    EXPECT_FALSE(imaging::DecodeJpegFile(dir / seed.name).empty());
    const SeedFacts facts = ReadSeedFacts(seed.bytes);
    progressive += facts.progressive;
    arithmetic += facts.arithmetic;
    gray += facts.color_space == JCS_GRAYSCALE;
    cmyk += facts.color_space == JCS_CMYK;
    other_components += facts.components == 2;
    full_chroma += facts.components == 3 && facts.luma_h == 1;
    restarts += facts.restarts;
    exif += facts.exif_segments > 0;
    icc += facts.icc_chunks > 0;
    multi_chunk_icc += facts.icc_chunks > 1;
  }
  EXPECT_TRUE(boxes.shown().empty());
  for (int kinds : {progressive, arithmetic, gray, cmyk, other_components, full_chroma, restarts, exif, icc,
                    multi_chunk_icc}) {
    EXPECT_GE(kinds, 1);
  }
}

TEST(JpegCorpusTest, TheBadCorpusHasOver3000UniquelyNamedFilesMadeTheSameEveryTime) {
  std::set<std::string> names;
  std::size_t files = 0;
  for (const std::string& part : BadCorpusParts()) {
    for (const CorpusFile& file : BadCorpusPart(part)) {
      names.insert(file.name);
      ++files;
    }
  }
  EXPECT_GE(files, 3000u);
  EXPECT_EQ(names.size(), files);

  const std::vector<CorpusFile> first = BadCorpusPart("gray");
  const std::vector<CorpusFile> again = BadCorpusPart("gray");
  ASSERT_EQ(first.size(), again.size());
  int changed = 0;
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].name, again[i].name);
    EXPECT_EQ(first[i].bytes, again[i].bytes) << first[i].name;
    changed += first[i].bytes != first[0].bytes;
  }
  EXPECT_GT(changed, 300) << "the mutations differ from one another";
}

TEST(JpegCorpusTest, CraftedFilesAreWhatTheirNamesSay) {
  const std::vector<CorpusFile> unreadable = UnreadableFiles();
  const auto frame = [](const Bytes& jpeg) {
    for (const Segment& s : Segments(jpeg)) {
      if (IsFrameMarker(s.marker)) return s;
    }
    return Segment{};
  };
  const auto field = [](const Bytes& jpeg, std::size_t at) { return jpeg[at] << 8 | jpeg[at + 1]; };

  const Bytes& giant = Named(unreadable, "giant-32769x32768-progressive.jpg").bytes;
  EXPECT_LT(giant.size(), 1000u);
  EXPECT_EQ(frame(giant).marker, 0xC2);
  EXPECT_EQ(field(giant, frame(giant).at + 7), 32769);
  EXPECT_EQ(field(giant, frame(giant).at + 5), 32768);

  const Bytes& twelve_bit = Named(unreadable, "precision-12-extended.jpg").bytes;
  EXPECT_EQ(twelve_bit[frame(twelve_bit).at + 4], 12);

  const std::vector<Segment> scans = Segments(Named(unreadable, "scans-5000-progressive-64x64.jpg").bytes);
  EXPECT_EQ(std::count_if(scans.begin(), scans.end(), [](const Segment& s) { return s.marker == 0xDA; }),
            5000);
}

TEST(JpegCorpusTest, EveryUnreadableFileIsRefusedWithOneMessage) {
  TempDir dir;
  for (const CorpusFile& file : UnreadableFiles()) {
    SCOPED_TRACE(file.name);
    RecordingErrorBox boxes;
    WriteBytes(dir / file.name, file.bytes);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(imaging::DecodeJpegFile(dir / file.name).empty());
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(boxes.shown(), std::vector<std::string>{"Error reading JPEG file"});
  }
}

}  // namespace
}  // namespace reliability

// The files behind the reliability checks (the fuzzer's seeds, the bad-input corpus, the soak's batch),
// made at run time from fixed integer patterns and seeded mutations: one JPEG library version gives the
// same bytes on every run, and nothing binary is kept in the repository. Functions only; thread-safe.
#ifndef PIXMELD_TESTS_RELIABILITY_JPEG_CORPUS_H_
#define PIXMELD_TESTS_RELIABILITY_JPEG_CORPUS_H_

#include <filesystem>
#include <string>
#include <vector>

#include "tests/reliability/jpeg_mutator.h"

namespace reliability {

struct CorpusFile {
  std::string name;  // tells how the file was made: "progressive-0042-bitflips.jpg"
  Bytes bytes;
};

// Small valid files of every kind the decoder meets: baseline 4:2:0, 4:4:4 with restart markers,
// progressive, arithmetic (sequential and progressive), grayscale, CMYK, two components, EXIF in
// both byte orders, ICC profiles in one and in several chunks, one pixel, thin strips.
std::vector<CorpusFile> SeedCorpus();

// The bad-input corpus comes in parts, so that a test can take one at a time: "crafted" (hand-made
// hostile files), then one part per base picture holding its seeded mutations. A file declares a picture
// of at most 1 megapixel, or one beyond the decoder's pixel limit.
std::vector<std::string> BadCorpusParts();
// REQUIRES: `part` is one of BadCorpusParts().
std::vector<CorpusFile> BadCorpusPart(const std::string& part);

// Hand-made files no reader can turn into a picture: not JPEG data, giant headers, unsupported
// processes and precisions, thousands of scans. Part of "crafted".
std::vector<CorpusFile> UnreadableFiles();

// Valid photos of about 0.8 megapixels, one of each kind: baseline, progressive, arithmetic, grayscale,
// CMYK, 4:4:4 with restarts, an EXIF orientation, an ICC profile.
std::vector<CorpusFile> PhotoKinds();

// Writes `good` photos (PhotoKinds in turn) and `bad` unreadable files into `folder`, named
// "file-0001.jpg" onwards, with the bad ones spread evenly through the queue order.
void WriteMixedBatch(const std::filesystem::path& folder, int good, int bad);

// Writes `files` into `folder`, which is created when missing.
void WriteFiles(const std::filesystem::path& folder, const std::vector<CorpusFile>& files);

}  // namespace reliability

#endif  // PIXMELD_TESTS_RELIABILITY_JPEG_CORPUS_H_

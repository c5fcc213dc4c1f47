// Seeded damage to JPEG files for the bad-input corpus: a random generator that gives the same numbers on
// every platform, a walker over a file's marker segments, and the mutations themselves. Functions and
// values only; a Random belongs to one caller at a time.
#ifndef PIXMELD_TESTS_RELIABILITY_JPEG_MUTATOR_H_
#define PIXMELD_TESTS_RELIABILITY_JPEG_MUTATOR_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace reliability {

using Bytes = std::vector<unsigned char>;

// splitmix64: fixed arithmetic, unlike the standard library's distributions, so a seed names the same
// corpus everywhere.
class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // A number in [0, n). REQUIRES: n > 0.
  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }

 private:
  std::uint64_t state_;
};

// A stable seed for a name.
std::uint64_t SeedOf(std::string_view name);

// One segment of a JPEG file: `at` is the offset of its 0xFF, `marker` the code after it, `size` the
// whole segment (marker, length field, payload, and for a scan header its entropy-coded data too).
struct Segment {
  std::size_t at = 0;
  int marker = 0;
  std::size_t size = 0;
};

// The segments after SOI, in file order, as far as they can be walked; stops at EOI or at bytes that do
// not start a marker.
std::vector<Segment> Segments(const Bytes& jpeg);

// True for the start-of-frame markers (0xC0 to 0xCF except DHT, JPG and DAC).
bool IsFrameMarker(int marker);

// The names of the mutations, in the order Mutate takes them by index.
const std::vector<std::string>& MutationNames();

// `jpeg` damaged by mutation `kind` (an index into MutationNames()), its details drawn from `random`.
Bytes Mutate(const Bytes& jpeg, std::size_t kind, Random& random);

}  // namespace reliability

#endif  // PIXMELD_TESTS_RELIABILITY_JPEG_MUTATOR_H_

// The x86 kernels of the area resampler: the four bytes of a source word become four doubles in vector
// lanes, and several target pixels of a row are summed side by side so that their running sums, each a
// chain of dependent additions, overlap in the pipeline. Each sum still sees its terms in the order the
// portable kernel gives them (source column outer, source row inner), with the same products, so the
// bytes are the same. Compiled with -ffp-contract=off: a multiply and an add never fuse.
#include <cstring>

#include "imaging/area_resample.h"

#if defined(__GNUC__) && defined(__x86_64__)
#define PIXMELD_X86_KERNELS 1
#include <immintrin.h>
#endif

namespace imaging {
namespace area_resample_internal {

#if PIXMELD_X86_KERNELS
namespace {

int LoadWord(const unsigned char* bytes) {
  int word;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

void StoreWord(unsigned char* bytes, int word) { std::memcpy(bytes, &word, sizeof word); }

// SSE2: a pixel's four sums in two registers (blue and green, red and the fourth byte); two target pixels
// at a time, their totals side by side in one register.
inline void WidenSse2(const unsigned char* bytes, __m128d& low, __m128d& high) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i words = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(LoadWord(bytes)), zero), zero);
  low = _mm_cvtepi32_pd(words);
  high = _mm_cvtepi32_pd(_mm_shuffle_epi32(words, 0xEE));
}

// (int)(sum / total + 0.49) for the four bytes, packed back into a word.
inline int FinishSse2(__m128d low, __m128d high, double total) {
  if (!(total > 0)) return 0;
  const __m128d divisor = _mm_set1_pd(total), half = _mm_set1_pd(0.49);
  const __m128i low_ints = _mm_cvttpd_epi32(_mm_add_pd(_mm_div_pd(low, divisor), half));
  const __m128i high_ints = _mm_cvttpd_epi32(_mm_add_pd(_mm_div_pd(high, divisor), half));
  const __m128i ints = _mm_unpacklo_epi64(low_ints, high_ints);
  return _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(ints, ints), ints));
}

void ResampleRowSse2(const ColumnTaps& columns, const RowTask& row) {
  for (int g = 0; g < columns.groups; ++g) {
    for (int pair = 0; pair < kLanes; pair += 2) {
      const int j = g * kLanes + pair;
      if (j >= columns.width) break;
      __m128d low0 = _mm_setzero_pd(), high0 = low0, low1 = low0, high1 = low0, totals = low0;
      const std::size_t first = std::size_t(columns.start[g]) * kLanes + pair;
      for (int t = 0; t < columns.taps[g]; ++t) {
        const std::size_t entry = first + std::size_t(t) * kLanes;
        const __m128d fx = _mm_loadu_pd(columns.weight + entry);
        const __m128d fx0 = _mm_set1_pd(columns.weight[entry]);
        const __m128d fx1 = _mm_set1_pd(columns.weight[entry + 1]);
        const double* fy_weight = row.weight;
        for (const RowTask::Run& run : row.runs) {
          const unsigned char* source0 = run.first + columns.offset[entry];
          const unsigned char* source1 = run.first + columns.offset[entry + 1];
          for (int r = 0; r < run.rows; ++r, source0 += row.row_step, source1 += row.row_step) {
            const __m128d fy = _mm_set1_pd(*fy_weight++);
            totals = _mm_add_pd(totals, _mm_mul_pd(fx, fy));
            __m128d low, high;
            const __m128d a0 = _mm_mul_pd(fx0, fy);
            WidenSse2(source0, low, high);
            low0 = _mm_add_pd(low0, _mm_mul_pd(a0, low));
            high0 = _mm_add_pd(high0, _mm_mul_pd(a0, high));
            const __m128d a1 = _mm_mul_pd(fx1, fy);
            WidenSse2(source1, low, high);
            low1 = _mm_add_pd(low1, _mm_mul_pd(a1, low));
            high1 = _mm_add_pd(high1, _mm_mul_pd(a1, high));
          }
        }
      }
      alignas(16) double total[2];
      _mm_store_pd(total, totals);
      StoreWord(row.target + j * 4, FinishSse2(low0, high0, total[0]));
      if (j + 1 < columns.width) StoreWord(row.target + j * 4 + 4, FinishSse2(low1, high1, total[1]));
    }
  }
}

// AVX2: a pixel's four sums in one register, the four pixels of a group at a time, their totals in one
// register.
#define PIXMELD_AVX2 __attribute__((target("avx2")))

// The four bytes become doubles without a conversion instruction (which costs more here): the bits
// 0x43300000'000000bb are the double 2^52 + b exactly, and subtracting 2^52 leaves b exactly.
PIXMELD_AVX2 inline __m256d WidenAvx2(const unsigned char* bytes) {
  const __m256i two_to_52 = _mm256_set1_epi64x(0x4330000000000000);
  const __m256i biased = _mm256_or_si256(_mm256_cvtepu8_epi64(_mm_cvtsi32_si128(LoadWord(bytes))), two_to_52);
  return _mm256_sub_pd(_mm256_castsi256_pd(biased), _mm256_castsi256_pd(two_to_52));
}

PIXMELD_AVX2 inline int FinishAvx2(__m256d sums, double total) {
  if (!(total > 0)) return 0;
  const __m256d mean = _mm256_div_pd(sums, _mm256_set1_pd(total));
  const __m128i ints = _mm256_cvttpd_epi32(_mm256_add_pd(mean, _mm256_set1_pd(0.49)));
  return _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packus_epi32(ints, ints), ints));
}

PIXMELD_AVX2 void ResampleRowAvx2(const ColumnTaps& columns, const RowTask& row) {
  for (int g = 0; g < columns.groups; ++g) {
    __m256d sums0 = _mm256_setzero_pd(), sums1 = sums0, sums2 = sums0, sums3 = sums0, totals = sums0;
    const std::size_t first = std::size_t(columns.start[g]) * kLanes;
    for (int t = 0; t < columns.taps[g]; ++t) {
      const std::size_t entry = first + std::size_t(t) * kLanes;
      const double* fx = columns.weight + entry;
      const __m256d fx_all = _mm256_loadu_pd(fx);
      const __m256d fx0 = _mm256_broadcast_sd(fx), fx1 = _mm256_broadcast_sd(fx + 1);
      const __m256d fx2 = _mm256_broadcast_sd(fx + 2), fx3 = _mm256_broadcast_sd(fx + 3);
      const std::int32_t* offset = columns.offset + entry;
      const std::ptrdiff_t offset0 = offset[0], offset1 = offset[1], offset2 = offset[2], offset3 = offset[3];
      const double* fy_weight = row.weight;
      for (const RowTask::Run& run : row.runs) {
        const unsigned char* source = run.first;
        for (int r = 0; r < run.rows; ++r, source += row.row_step) {
          const __m256d fy = _mm256_broadcast_sd(fy_weight++);
          totals = _mm256_add_pd(totals, _mm256_mul_pd(fx_all, fy));
          sums0 = _mm256_add_pd(sums0, _mm256_mul_pd(_mm256_mul_pd(fx0, fy), WidenAvx2(source + offset0)));
          sums1 = _mm256_add_pd(sums1, _mm256_mul_pd(_mm256_mul_pd(fx1, fy), WidenAvx2(source + offset1)));
          sums2 = _mm256_add_pd(sums2, _mm256_mul_pd(_mm256_mul_pd(fx2, fy), WidenAvx2(source + offset2)));
          sums3 = _mm256_add_pd(sums3, _mm256_mul_pd(_mm256_mul_pd(fx3, fy), WidenAvx2(source + offset3)));
        }
      }
    }
    alignas(32) double total[kLanes];
    _mm256_store_pd(total, totals);
    const __m256d sums[kLanes] = {sums0, sums1, sums2, sums3};
    const int j = g * kLanes;
    for (int p = 0; p < kLanes && j + p < columns.width; ++p) {
      StoreWord(row.target + (j + p) * 4, FinishAvx2(sums[p], total[p]));
    }
  }
}

}  // namespace

RowKernel Sse2RowKernel() { return ResampleRowSse2; }

RowKernel Avx2RowKernel() { return __builtin_cpu_supports("avx2") ? ResampleRowAvx2 : nullptr; }

#else

RowKernel Sse2RowKernel() { return nullptr; }
RowKernel Avx2RowKernel() { return nullptr; }

#endif  // PIXMELD_X86_KERNELS

}  // namespace area_resample_internal
}  // namespace imaging

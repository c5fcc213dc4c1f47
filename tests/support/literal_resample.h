// The area-averaging loop written out literally, one byte at a time and the weight recomputed for every
// term: the yardstick the fast resampler is held to, byte for byte, in tests and benchmarks.
// Slow on purpose. Include it only from sources compiled with -ffp-contract=off.
#ifndef PIXMELD_TESTS_SUPPORT_LITERAL_RESAMPLE_H_
#define PIXMELD_TESTS_SUPPORT_LITERAL_RESAMPLE_H_

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace testing_support {

// `source` holds W x H words, bottom-up; returns w x h words, bottom-up.
// REQUIRES: all four dimensions are positive.
inline std::vector<std::uint32_t> LiteralResample(const std::vector<std::uint32_t>& source, int W, int H,
                                                  int w, int h) {
  std::vector<std::uint32_t> target(std::size_t(w) * h);
  const auto* S = reinterpret_cast<const unsigned char*>(source.data());
  auto* D = reinterpret_cast<unsigned char*>(target.data());
  const double sx = static_cast<double>(W) / w, sy = static_cast<double>(H) / h;
  for (int i = 0; i < h; ++i) {
    for (int j = 0; j < w; ++j) {
      const double x0 = j * sx, x1 = (j + 1) * sx, y0 = i * sy, y1 = (i + 1) * sy;
      for (int k = 0; k < 4; ++k) {
        double sum = 0, total = 0;
        // Columns outer, rows inner; each weight the product of the two overlaps.
        for (int l = std::max(0, static_cast<int>(std::floor(x0)));
             l < std::min(W, static_cast<int>(std::ceil(x1))); ++l) {
          for (int m = std::max(0, static_cast<int>(std::floor(y0)));
               m < std::min(H, static_cast<int>(std::ceil(y1))); ++m) {
            const double a = (std::min<double>(l + 1, x1) - std::max<double>(l, x0)) *
                             (std::min<double>(m + 1, y1) - std::max<double>(m, y0));
            sum += a * S[(std::size_t(H - m - 1) * W + l) * 4 + k];
            total += a;
          }
        }
        D[(std::size_t(h - i - 1) * w + j) * 4 + k] =
            static_cast<unsigned char>(total > 0 ? static_cast<int>(sum / total + 0.49) : 0);
      }
    }
  }
  return target;
}

}  // namespace testing_support

#endif  // PIXMELD_TESTS_SUPPORT_LITERAL_RESAMPLE_H_

// Photo-like pictures that the benchmarks make themselves: smooth gradients and soft waves with some noise
// on top, so that the JPEG codec sees something like a photo. Bottom-up 32-bit words, as RasterImage keeps
// them.
#ifndef PIXMELD_BENCH_PHOTO_LIKE_H_
#define PIXMELD_BENCH_PHOTO_LIKE_H_

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

struct Shape {
  int width, height, target_width, target_height;
};

inline std::vector<std::uint32_t> PhotoLike(int width, int height) {
  std::vector<std::uint32_t> words(std::size_t(width) * height);
  std::mt19937 random(42);
  std::uniform_int_distribution<int> noise(-6, 6);
  auto clamp = [](double v) { return static_cast<std::uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
  for (int y = 0; y < height; ++y) {
    const double v = double(y) / height;
    std::uint32_t* row = &words[std::size_t(height - 1 - y) * width];
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const double wave = 40 * std::sin(9 * u + 5 * v) * std::cos(7 * v - 3 * u);
      const std::uint32_t red = clamp(200 * u + 30 * v + wave + noise(random));
      const std::uint32_t green = clamp(120 + 100 * v - 60 * u - wave + noise(random));
      const std::uint32_t blue = clamp(220 - 180 * v + 0.5 * wave + noise(random));
      row[x] = red << 16 | green << 8 | blue;
    }
  }
  return words;
}

}  // namespace bench

#endif  // PIXMELD_BENCH_PHOTO_LIKE_H_

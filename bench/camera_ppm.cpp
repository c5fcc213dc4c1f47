// Writes a camera-like picture as a binary PPM to standard output, for cjpeg to turn into a photo:
// soft colour fields with edges and fine texture, and sensor-like grain, so that a quality-92 JPEG of
// it is about as big (and as slow to decode) as a camera's. Each seed gives another picture.
//
//   camera_ppm WIDTH HEIGHT SEED | cjpeg -quality 92 -outfile photo.jpg
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: camera_ppm WIDTH HEIGHT SEED\n");
    return 2;
  }
  const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
  const unsigned seed = static_cast<unsigned>(std::atoi(argv[3]));
  if (width <= 0 || height <= 0) return 2;
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> phase(0, 6.283);
  const double p1 = phase(random), p2 = phase(random), p3 = phase(random);
  std::normal_distribution<double> grain(0, 7.0);
  auto clamp = [](double v) { return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v); };

  std::printf("P6\n%d %d\n255\n", width, height);
  std::vector<unsigned char> row(std::size_t(width) * 3);
  for (int y = 0; y < height; ++y) {
    const double v = double(y) / height;
    for (int x = 0; x < width; ++x) {
      const double u = double(x) / width;
      const double wave = 40 * std::sin(9 * u + 5 * v + p1) * std::cos(7 * v - 3 * u + p2);
      // Hard edges between fields, and a texture of a few pixels' period as foliage or fabric gives.
      const double field = std::sin(23 * u + p3) * std::sin(17 * v + 0.3 * p1) > 0.2 ? 35 : -10;
      const double texture = 14 * std::sin(x * 0.9 + 3 * std::sin(y * 0.05)) * std::sin(y * 0.7 + p2);
      unsigned char* pixel = &row[std::size_t(x) * 3];
      pixel[0] = clamp(170 * u + 30 * v + wave + field + texture + grain(random));
      pixel[1] = clamp(100 + 90 * v - 50 * u - wave + field + texture + grain(random));
      pixel[2] = clamp(200 - 160 * v + 0.5 * wave - field + 0.6 * texture + grain(random));
    }
    std::fwrite(row.data(), 1, row.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

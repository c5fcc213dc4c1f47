// The artwork files of res/art, built into the program as byte arrays (res/embed_file.cmake makes them).
// Constant data; safe from any thread.
#ifndef PIXMELD_RES_ARTWORK_DATA_H_
#define PIXMELD_RES_ARTWORK_DATA_H_

#include <cstddef>

namespace res {

// Bitmap 129, logo.bmp: 110 x 110, 24 bits per pixel.
extern const unsigned char kLogoBmp[];
extern const std::size_t kLogoBmpSize;

// Bitmap 130, banner.bmp: 758 x 113, 24 bits per pixel.
extern const unsigned char kBannerBmp[];
extern const std::size_t kBannerBmpSize;

// Icon 128, pixmeld.ico: 16, 32 and 48 pixels, 32 bits per pixel with alpha.
extern const unsigned char kPixmeldIco[];
extern const std::size_t kPixmeldIcoSize;

// The logo, the banner and the About box's 32-pixel icon (on white) rendered at 1.5 and 2 times their
// size, 24 bits per pixel, for screens denser than 96 DPI.
extern const unsigned char kLogo150Bmp[];
extern const std::size_t kLogo150BmpSize;
extern const unsigned char kBanner150Bmp[];
extern const std::size_t kBanner150BmpSize;
extern const unsigned char kIcon150Bmp[];
extern const std::size_t kIcon150BmpSize;
extern const unsigned char kLogo200Bmp[];
extern const std::size_t kLogo200BmpSize;
extern const unsigned char kBanner200Bmp[];
extern const std::size_t kBanner200BmpSize;
extern const unsigned char kIcon200Bmp[];
extern const std::size_t kIcon200BmpSize;

}  // namespace res

#endif  // PIXMELD_RES_ARTWORK_DATA_H_

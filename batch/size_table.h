// The maximum edges the user can pick, in pixels; the size list's entry i stands for entry i here.
// Constants; safe anywhere.
#ifndef PIXMELD_BATCH_SIZE_TABLE_H_
#define PIXMELD_BATCH_SIZE_TABLE_H_

#include <array>

namespace batch {

inline constexpr std::array<int, 39> kSizeTable = {24,   30,   32,   48,   50,   60,   64,   75,   80,  100,
                                                   120,  150,  180,  200,  240,  250,  300,  320,  360, 400,
                                                   480,  500,  600,  640,  700,  720,  768,  800,  900, 960,
                                                   1000, 1024, 1200, 1280, 1366, 1400, 1600, 1920, 2000};

inline constexpr int kDefaultSizeIndex = 29;  // 960

// The maximum edge of entry `index`; the default one for an index outside the table (no selection).
constexpr int MaxEdgeAt(int index) {
  return index >= 0 && index < static_cast<int>(kSizeTable.size()) ? kSizeTable[index]
                                                                   : kSizeTable[kDefaultSizeIndex];
}

}  // namespace batch

#endif  // PIXMELD_BATCH_SIZE_TABLE_H_

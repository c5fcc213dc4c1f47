// The order in which queued photos are processed: whole paths, folder part included, compared code point
// by code point after folding letter case. The order is the same in every locale. Thread-safe.
#ifndef PIXMELD_BATCH_PATH_ORDER_H_
#define PIXMELD_BATCH_PATH_ORDER_H_

#include <string_view>

namespace batch {

// Negative, zero or positive as `a` sorts before, with or after `b`. Paths are UTF-8; letters of the
// Latin, Greek, Cyrillic and Armenian scripts fold to lower case ("Ä" with "ä"); bytes that are not
// valid UTF-8 compare by their value, after every character.
int ComparePaths(std::string_view a, std::string_view b);

// For sorting: true when `a` sorts strictly before `b`. Paths that compare equal keep their order in a
// stable sort.
inline bool PathLess(std::string_view a, std::string_view b) { return ComparePaths(a, b) < 0; }

}  // namespace batch

#endif  // PIXMELD_BATCH_PATH_ORDER_H_

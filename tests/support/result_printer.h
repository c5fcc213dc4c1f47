// How an Outcome and a Result read in a failed expectation: "kUnreadable", "kUnreadable (Not a JPEG file)",
// "kDone (Premature end of JPEG file), damaged".
// GoogleTest finds these by the types' namespace.
#ifndef PIXMELD_TESTS_SUPPORT_RESULT_PRINTER_H_
#define PIXMELD_TESTS_SUPPORT_RESULT_PRINTER_H_

#include <ostream>

#include "imaging/result.h"

namespace imaging {

inline void PrintTo(Outcome outcome, std::ostream* out) {
  const char* const names[] = {"kDone",     "kCannotOpen",    "kUnreadable",
                               "kNoMemory", "kFolderRefuses", "kWriteFailed"};
  *out << names[static_cast<int>(outcome)];
}

inline void PrintTo(const Result& result, std::ostream* out) {
  PrintTo(result.outcome, out);
  *out << " (" << result.reason << ")" << (result.damaged ? ", damaged" : "");
}

}  // namespace imaging

#endif  // PIXMELD_TESTS_SUPPORT_RESULT_PRINTER_H_

// What a dialog built from a template must look like, as the layout table states it, and a check that
// compares a dialog's controls, in creation order, with such a table. GUI thread only.
#ifndef PIXMELD_TESTS_APP_LAYOUT_EXPECTATIONS_H_
#define PIXMELD_TESTS_APP_LAYOUT_EXPECTATIONS_H_

#include <wx/window.h>

#include <vector>

namespace testing_support {

enum class Kind { kButton, kText, kList, kGroup, kPicture, kDropDown };

struct ExpectedControl {
  int id;  // the template's id: 1 OK, 2 Cancel, -1 none
  Kind kind;
  const char* caption;      // as the template writes it ("&&" for one "&"); null: not compared
  int x, y, width, height;  // dialog units
};

// The pixel rectangles of `dialog`'s children, in creation order.
std::vector<wxRect> ChildRects(wxWindow* dialog);

// Compares the children of `dialog` with `expected`, in order: kind, id, caption and rectangle at 96 DPI,
// where one unit is 1.5 pixels across and 1.625 down. A picture is as big as its picture and within a
// pixel of its place; a drop-down list is as tall as the toolkit makes it, within its place. A text with
// a caption fits its place in the dialog's font, broken into lines at spaces.
void ExpectControls(wxWindow* dialog, const std::vector<ExpectedControl>& expected);

}  // namespace testing_support

#endif  // PIXMELD_TESTS_APP_LAYOUT_EXPECTATIONS_H_

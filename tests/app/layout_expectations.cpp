#include "tests/app/layout_expectations.h"

#include <gtest/gtest.h>
#include <wx/arrstr.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/control.h>
#include <wx/listbox.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include <cmath>
#include <string>

namespace testing_support {
namespace {

bool IsKind(wxWindow* window, Kind kind) {
  switch (kind) {
    case Kind::kButton:
      return dynamic_cast<wxButton*>(window) != nullptr;
    case Kind::kText:
      return dynamic_cast<wxStaticTextBase*>(window) != nullptr;
    case Kind::kList:
      return dynamic_cast<wxListBox*>(window) != nullptr;
    case Kind::kGroup:
      return dynamic_cast<wxStaticBox*>(window) != nullptr;
    case Kind::kPicture:
      return dynamic_cast<wxStaticBitmap*>(window) != nullptr;
    case Kind::kDropDown:
      return dynamic_cast<wxChoice*>(window) != nullptr;
  }
  return false;
}

// How many lines `text` takes in `window`'s font when broken at spaces to fit `width` pixels, as a static
// text breaks it; zero when a word alone is wider than that.
int WrappedLines(wxWindow* window, const wxString& text, int width) {
  int lines = 0;
  for (const wxString& paragraph : wxSplit(text, '\n', '\0')) {
    wxString line;
    ++lines;
    for (const wxString& word : wxSplit(paragraph, ' ', '\0')) {
      if (window->GetTextExtent(word).x > width) return 0;
      const wxString longer = line.empty() ? word : line + " " + word;
      if (window->GetTextExtent(longer).x > width) {
        ++lines;
        line = word;
      } else {
        line = longer;
      }
    }
  }
  return lines;
}

int ToolkitId(int template_id) {
  return template_id == 1 ? wxID_OK : template_id == 2 ? wxID_CANCEL : template_id;
}

}  // namespace

std::vector<wxRect> ChildRects(wxWindow* dialog) {
  std::vector<wxRect> rects;
  for (wxWindow* child : dialog->GetChildren()) rects.push_back(child->GetRect());
  return rects;
}

void ExpectControls(wxWindow* dialog, const std::vector<ExpectedControl>& expected) {
  const wxWindowList& children = dialog->GetChildren();
  ASSERT_EQ(children.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const ExpectedControl& want = expected[i];
    wxWindow* child = children[i];
    SCOPED_TRACE("control " + std::to_string(i + 1));
    EXPECT_TRUE(IsKind(child, want.kind));
    if (want.id == -1) {
      EXPECT_LT(child->GetId(), 0) << "a control without an id of its own";
    } else {
      EXPECT_EQ(child->GetId(), ToolkitId(want.id));
    }
    if (want.caption != nullptr) {
      EXPECT_EQ(child->GetLabel().utf8_string(), want.caption);
    }
    if (want.kind == Kind::kText && want.caption != nullptr) {
      const wxString text = static_cast<wxControl*>(child)->GetLabelText();
      const int lines = WrappedLines(child, text, child->GetSize().x);
      EXPECT_GT(lines, 0) << "a word is wider than the text's place";
      EXPECT_LE(lines * child->GetCharHeight(), child->GetSize().y) << lines << " lines do not fit";
    }

    const wxRect place(std::lround(want.x * 1.5), std::lround(want.y * 1.625), std::lround(want.width * 1.5),
                       std::lround(want.height * 1.625));
    const wxRect rect = child->GetRect();
    if (want.kind == Kind::kPicture) {
      EXPECT_EQ(rect.GetPosition(), place.GetPosition());
      EXPECT_EQ(rect.GetSize(), static_cast<wxStaticBitmap*>(child)->GetBitmap().GetSize());
      EXPECT_NEAR(rect.width, place.width, 1);
      EXPECT_NEAR(rect.height, place.height, 1);
    } else if (want.kind == Kind::kDropDown) {
      EXPECT_EQ(rect.GetPosition(), place.GetPosition());
      EXPECT_EQ(rect.width, place.width);
      EXPECT_LE(rect.height, place.height);
    } else {
      EXPECT_EQ(rect, place);
    }
  }
}

}  // namespace testing_support

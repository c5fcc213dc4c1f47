// The two dialog templates, the size list and the string table of the user interface, as data from which
// the dialogs are built. Positions are in dialog units of the templates' 8-point font. Read-only and
// shared; safe from any thread.
#ifndef PIXMELD_RES_TEMPLATES_H_
#define PIXMELD_RES_TEMPLATES_H_

#include <array>
#include <cstddef>

#include "res/resource.h"

namespace res {

// Control ids. 1 and 2 are the system's OK and Cancel commands; -1 is a control without an id of its own.
inline constexpr int kIdNone = -1;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAddImages = 3;
inline constexpr int kIdLikeIt = 4;
inline constexpr int kIdFacebook = 5;
inline constexpr int kIdChange = 6;
inline constexpr int kIdMyImages = 7;
inline constexpr int kIdOpen = 8;
inline constexpr int kIdClear = 10;
inline constexpr int kIdQueueList = 1000;
inline constexpr int kIdDestinationFolder = 1008;
inline constexpr int kIdSizeChoice = 1009;
inline constexpr int kIdCount = 1010;
inline constexpr int kIdWebAddress = 1011;

// The About entry: its command (compared with the low four bits masked off) and its text, string 101.
inline constexpr int kAboutCommand = 0x0010;
inline constexpr int kAboutMenuString = IDS_ABOUTBOX;
inline constexpr char kAboutMenuText[] = PIXMELD_ABOUT_MENU_TEXT;

enum class ControlKind {
  kPushButton,
  kStaticText,
  kListBox,
  kGroupBox,
  kBitmap,  // a picture control showing one of the bitmaps; it takes the bitmap's size
  kIcon,    // a picture control showing the application icon; it takes the icon's size
  kDropDownList,
};

// Styles that change how a control is made or behaves.
enum Style : unsigned {
  kDefaultButton = 1u << 0,  // the dialog's default push button
  kDisabled = 1u << 1,
  kTabStop = 1u << 2,
  kRightAligned = 1u << 3,  // static text
  kNoPrefix = 1u << 4,      // static text: "&" is shown as it is, not taken as a mnemonic prefix
  kSingleLine = 1u << 5,    // static text: one line, cut at the right edge, never wrapped
  kVerticalScroll = 1u << 6,
  kBorder = 1u << 7,
};

struct DialogRect {
  int x;
  int y;
  int width;
  int height;
};

struct ControlTemplate {
  int id;
  ControlKind kind;
  const char* text;  // the caption; "&" is a mnemonic prefix unless kNoPrefix, and "&&" shows one "&"
  DialogRect rect;
  unsigned styles;
  int image = 0;                       // kBitmap, kIcon: the resource id of the picture
  const char* const* items = nullptr;  // kDropDownList: the entries, added in this order
  std::size_t item_count = 0;
};

struct DialogTemplate {
  int id;
  const char* caption;
  int width;  // client area, in dialog units
  int height;
  const ControlTemplate* controls;  // in template order: the order of creation and of tabbing
  std::size_t control_count;

  const ControlTemplate* begin() const { return controls; }
  const ControlTemplate* end() const { return controls + control_count; }
};

// The 39 entries of the size list; entry i stands for the i-th maximum edge of the size table.
inline constexpr std::size_t kSizeEntryCount = 39;
extern const std::array<const char*, kSizeEntryCount> kSizeEntries;
inline constexpr int kDefaultSizeEntry = 29;  // "960 Facebook"

// Template 102, the main dialog.
extern const DialogTemplate kMainDialogTemplate;
// Template 100, the About box.
extern const DialogTemplate kAboutDialogTemplate;

}  // namespace res

#endif  // PIXMELD_RES_TEMPLATES_H_

// The dialog templates as a resource script states them. Two departures, both for GTK: the label
// "Maximum width or height:" is 87 units wide instead of 55, so that it wraps onto two lines as it does
// on Windows instead of three; and the destination folder (1008) is one line that shows "&" as it is.
#include "res/templates.h"

#include "res/web_addresses.h"

namespace res {

const std::array<const char*, kSizeEntryCount> kSizeEntries = {
    "24",   "30",           "32 Icon",       "48",       "50",   "60",        "64",
    "75",   "80",           "100 Thumbnail", "120",      "150",  "180",       "200",
    "240",  "250",          "300",           "320 QVGA", "360",  "400",       "480 HVGA",
    "500",  "600",          "640 VGA",       "700",      "720",  "768",       "800 SVGA",
    "900",  "960 Facebook", "1000",          "1024 XGA", "1200", "1280 SXGA", "1366 HD TV",
    "1400", "1600",         "1920 Full HD",  "2000",
};

namespace {

using K = ControlKind;

const ControlTemplate kMainControls[] = {
    {kIdOk, K::kPushButton, "Start", {399, 201, 87, 41}, kDefaultButton | kDisabled | kTabStop},
    {kIdCancel, K::kPushButton, "Exit", {330, 201, 50, 14}, kTabStop},
    {kIdNone,
     K::kStaticText,
     "Drag images here to add. Hold Ctrl or Shift to select more images.",
     {53, 302, 259, 8},
     0},
    // The queue keeps its own case-insensitive order; the list box is not a sorted one.
    {kIdQueueList, K::kListBox, "", {25, 84, 356, 103}, kVerticalScroll | kBorder | kTabStop},
    {kIdAddImages, K::kPushButton, "Add Images", {25, 201, 50, 14}, kTabStop},
    {kIdLikeIt, K::kPushButton, "Like It", {209, 201, 50, 14}, kTabStop},
    {kIdDestinationFolder, K::kStaticText, "", {25, 237, 355, 11}, kNoPrefix | kSingleLine},
    {kIdNone, K::kGroupBox, "Drop Area", {25, 281, 356, 47}, 0},
    {kIdFacebook, K::kPushButton, "Facebook", {148, 201, 50, 14}, kTabStop},
    {kIdChange, K::kPushButton, "Change", {269, 257, 50, 14}, kTabStop},
    {kIdMyImages, K::kPushButton, "My Images", {86, 201, 50, 14}, kTabStop},
    {kIdOpen, K::kPushButton, "Open", {330, 257, 50, 14}, kTabStop},
    {kIdNone, K::kBitmap, "", {408, 264, 73, 68}, 0, IDB_LOGO},
    {kIdNone, K::kStaticText, "Destination Folder:", {25, 224, 87, 11}, 0},
    {kIdNone, K::kBitmap, "", {0, 0, 505, 70}, 0, IDB_BANNER},
    {kIdSizeChoice,
     K::kDropDownList,
     "",
     {399, 175, 87, 45},
     kVerticalScroll | kTabStop,
     0,
     kSizeEntries.data(),
     kSizeEntries.size()},
    {kIdNone, K::kStaticText, "Maximum width or height:", {399, 152, 87, 19}, 0},
    {kIdNone,
     K::kStaticText,
     "1. Click \"Add images\" or drag && drop image files\n"
     "2. Select maximum width or height of images.\n"
     "3. Click Start to downsample images.",
     {398, 84, 91, 57},
     0},
    {kIdNone,
     K::kStaticText,
     "Pixmeld downsizes images before uploading them to facebook to they upload up to 16 times faster.",
     {25, 339, 462, 11},
     0},
    {kIdClear, K::kPushButton, "Clear", {269, 201, 50, 14}, kTabStop},
    {kIdCount, K::kStaticText, "TOTAL: 0", {323, 225, 56, 10}, kRightAligned},
};

const ControlTemplate kAboutControls[] = {
    {kIdNone, K::kIcon, "", {11, 17, 21, 20}, 0, IDR_MAINFRAME},
    {kIdNone, K::kStaticText, "Pixmeld 1.0", {40, 10, 119, 8}, kNoPrefix},
    {kIdNone, K::kStaticText, PIXMELD_LEGAL_NOTICE, {40, 25, 119, 8}, 0},
    {kIdOk, K::kPushButton, "OK", {178, 7, 50, 14}, kDefaultButton | kTabStop},
    {kIdWebAddress, K::kPushButton, res::kMakerWebSite, {39, 46, 113, 14}, kTabStop},
};

}  // namespace

const DialogTemplate kMainDialogTemplate = {
    IDD_PIXMELD_DIALOG, "Pixmeld", 505, 364, kMainControls, std::size(kMainControls),
};

const DialogTemplate kAboutDialogTemplate = {
    IDD_ABOUTBOX, "About shrinkpad", 235, 79, kAboutControls, std::size(kAboutControls),
};

}  // namespace res

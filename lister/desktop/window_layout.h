// The layout of the main window and the about box and the texts of the dialogs: the one table
// that every window toolkit builds its controls from. Positions and sizes are pixels at 96 pixels
// per inch, relative to the parent.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "lister/core/listing_texts.h"

namespace lister {

struct Box {
  int left;
  int top;
  int width;
  int height;
};

inline constexpr int kClientWidth = 473;
inline constexpr int kClientHeight = 295;
inline constexpr int kWindowFontPixels = 11;

inline constexpr Box kHeaderGroup = {8, 0, 457, 105};
inline constexpr std::string_view kHeaderGroupCaption = "Archive header";
// Labels size themselves to their text: the widest line, and this many pixels per line.
inline constexpr int kLabelLineHeight = 13;
inline constexpr Box kSummaryNamesAt = {8, 24, 0, 0};
inline constexpr Box kSummaryValuesAt = {144, 24, 0, 0};
inline constexpr Box kInBytesButton = {384, 56, 57, 17};
inline constexpr Box kInKBButton = {384, 80, 57, 17};
inline constexpr std::string_view kInBytesCaption = "in bytes";
inline constexpr std::string_view kInKBCaption = "in KB";

inline constexpr Box kRecordGrid = {8, 112, 457, 174};
// What screen readers call the record grid.
inline constexpr std::string_view kRecordGridName = "Records";
inline constexpr int kGridRowHeight = 18;
// The lines between the cells, grey enough to stay visible on white: red, green, blue.
struct Rgb {
  int red;
  int green;
  int blue;
};
inline constexpr Rgb kGridLineColour = {0xB8, 0xB8, 0xB8};
inline constexpr std::array<int, kColumnCount> kColumnWidths = {52, 111, 52, 72, 72, 72};
// Cell text starts this far in from the cell's left and top edges.
inline constexpr int kCellTextInset = 2;

// The progress window's text, before the archive's name.
inline constexpr std::string_view kListingProgressPrefix = "Listing ";

inline constexpr std::string_view kErrorCaption = "Error";

// The about box, unlike the main window, is scaled to the screen's resolution.
inline constexpr std::string_view kAboutCaption = "About";
inline constexpr int kAboutClientWidth = 298;
inline constexpr int kAboutClientHeight = 130;
inline constexpr Box kAboutPanel = {8, 8, 281, 65};
// In the panel. The labels size themselves to their text.
inline constexpr Box kProgramIcon = {24, 16, 33, 33};
inline constexpr Box kProductNameAt = {88, 16, 0, 0};
inline constexpr Box kCopyrightAt = {88, 32, 0, 0};
inline constexpr Box kVersionAt = {88, 40, 0, 0};
inline constexpr Box kOKButton = {111, 88, 75, 33};
inline constexpr std::string_view kOKCaption = "OK";
// In UTF-8; Windows-1252 has the sign as byte 0xA9.
inline constexpr std::string_view kCopyrightText = "Copyright \u00A9 Gorblunk tools developers";

inline constexpr std::string_view kOpenDialogTitle = "Select an archive file to list";
// Longer chosen paths count as a cancel.
inline constexpr std::size_t kMaxChosenPathLength = 259;
struct FilterText {
  std::string_view description;  // shown exactly as written
  std::string_view patterns;     // separated by ';'
};
inline constexpr std::array<FilterText, 6> kArchiveFilters = {{
    {"Any file (*.*)", "*.*"},
    {"Sprite group archive (*.spr)", "*.spr"},
    {"Brindel  map (*.map)", "*.map"},
    {"Brindel tile group (*.til)", "*.til"},
    {"Palette table (*.mix;*.lit;*.llt)", "*.mix;*.lit;*.llt"},
    {"Any archive file", "*.spr;*.map;*.til;*.mix;*.lit;*.llt;*.tex"},
}};
// The filter selected at the first use, counted from 0: "Any archive file".
inline constexpr std::size_t kFirstFilterIndex = 5;

}  // namespace lister

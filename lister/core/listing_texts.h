// The lister's fixed texts and number formats, shared by every view.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lister {

// Lines of the field-names label and of the summary text are separated by one carriage return.
inline constexpr char kLineSeparator = '\r';

inline constexpr std::size_t kColumnCount = 6;
inline constexpr std::array<std::string_view, kColumnCount> kHeaderTexts = {
    "Number", "Record name", "Comp.", "Comp. Size", "Uncomp. Size", "Comp. ratio"};

inline constexpr std::size_t kSummaryLineCount = 5;
inline constexpr std::array<std::string_view, kSummaryLineCount> kFieldNames = {
    "Archive title:", "Version number:", "Total number of records:", "Total uncompressed length:",
    "Total compressed length:"};

inline constexpr std::string_view kProductName = "Trovanta";
inline constexpr std::string_view kNoFileMessage = "No file specified.";
inline constexpr std::string_view kNoSuchFileMessage = "This file does not exist.";
inline constexpr std::string_view kNotArchiveSuffix = " is not a valid archive file.";
inline constexpr std::string_view kChangedSuffix = " changed while it was listed.";
inline constexpr std::string_view kNotAnArchiveSummary = "Not an archive file";
inline constexpr std::string_view kEmptyRecordText = "empty record";

// The texts with `separator` between each two.
template <typename Texts>
std::string Join(const Texts& texts, std::string_view separator) {
  std::string joined;
  bool first = true;
  for (const auto& text : texts) {
    if (!first) {
      joined += separator;
    }
    joined += text;
    first = false;
  }
  return joined;
}

// "NAME is not a valid archive file." with only the letters a to z upper-cased.
std::string NotAnArchiveMessage(std::string_view archiveName);
// "NAME changed while it was listed.", the name upper-cased like the message above, so that
// both messages name an archive alike.
std::string ChangedMessage(std::string_view archiveName);

// "Trovanta (NAME)".
std::string CaptionFor(std::string_view archiveName);

// A value in tenths of a percent as "45.6"; 1000 gives " 100" and a negative value "   0".
std::string FormatPermille(std::int64_t value);

// Space saved in tenths of a percent, 1000 - compressed * 1000 / uncompressed, truncating
// toward zero and exact for any 64-bit totals. An uncompressed size of 0 (a hostile or broken
// length) counts as infinitely expanded and gives -1, which shows as "   0".
std::int64_t SavedPermille(std::int64_t compressed, std::int64_t uncompressed);

}  // namespace lister

#include "lister/cli/json_listing.h"

#include <vector>

#include "archive/ansi_text.h"
#include "lister/core/listing_texts.h"

namespace lister::cli {

namespace {

std::string_view KindName(RowKind kind) {
  switch (kind) {
    case RowKind::kRecord:
      return "record";
    case RowKind::kEmptyRun:
      return "empty_run";
    case RowKind::kNotListed:
      return "not_listed";
    case RowKind::kEmpty:
      break;
  }
  return "empty";
}

// The space saved in per mille, or null where there is no ratio: nothing compressed, or an
// uncompressed size of 0 or less, which no compression gives.
Json SavedOrNull(std::int64_t compressed, std::int64_t uncompressed) {
  return uncompressed > 0 ? Json(SavedPermille(compressed, uncompressed)) : Json(nullptr);
}

}  // namespace

Json RowJson(const RecordRow& row) {
  Json json = {
      {"number", row.index},
      {"kind", KindName(row.kind)},
      {"count",
       row.kind == RowKind::kEmptyRun || row.kind == RowKind::kNotListed ? row.runLength : 1},
      {"name", nullptr},
      {"method", nullptr},
      {"compressed", nullptr},
      {"stored_size", nullptr},
      {"uncompressed_size", nullptr},
      {"ratio_permille", nullptr}};
  if (row.kind != RowKind::kRecord) {
    return json;
  }
  const bool compressed = row.Compressed();
  json["name"] = archive::AnsiToUtf8(row.Name());
  json["method"] = row.method;
  json["compressed"] = compressed;
  json["stored_size"] = row.storedSize;
  if (!compressed) {
    json["uncompressed_size"] = row.storedSize;
  } else if (row.lengthKnown) {
    json["uncompressed_size"] = row.uncompressedLength;
    json["ratio_permille"] = SavedOrNull(row.storedSize, row.uncompressedLength);
  }
  return json;
}

Json TotalsJson(const ListingTotals& totals) {
  return {
      {"uncompressed", totals.uncompressed},
      {"compressed", totals.compressed},
      {"any_compressed", totals.anyCompressed},
      {"saving_permille",
       totals.anyCompressed ? SavedOrNull(totals.compressed, totals.uncompressed) : Json(nullptr)}};
}

Json PathJson(const std::string& path) {
  Json json = {{"archive", path}};
  try {
    static_cast<void>(json.dump());  // strict: throws on text that is not valid UTF-8
  } catch (const Json::type_error&) {
    json["archive_bytes"] = std::vector<unsigned char>(path.begin(), path.end());
  }
  return json;
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', true, Json::error_handler_t::replace);
}

}  // namespace lister::cli

// The typed JSON of a listing: numbers as integers, absent values as null, and no display text
// or padding anywhere. Member by member it is described in trovanta-ls(1).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "lister/core/archive_listing.h"
#include "lister/core/record_row.h"

namespace lister::cli {

using Json = nlohmann::ordered_json;

// {"number", "kind", "count", "name", "method", "compressed", "stored_size",
// "uncompressed_size", "ratio_permille"}; members that a kind of row lacks are null.
Json RowJson(const RecordRow& row);

// {"uncompressed", "compressed", "any_compressed", "saving_permille"}.
Json TotalsJson(const ListingTotals& totals);

// {"archive": the path} and, for a path that is not valid UTF-8 (whose text then holds U+FFFD
// in place of the bad bytes), "archive_bytes": the path's bytes as integers.
Json PathJson(const std::string& path);

// Compact and ASCII only, so that no control character reaches a terminal; text that is not
// valid UTF-8 has U+FFFD in place of its bad bytes.
std::string Dump(const Json& json);

}  // namespace lister::cli

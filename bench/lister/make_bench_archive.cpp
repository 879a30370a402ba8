// Writes an archive of N records for the benchmarks: every second record compressed, each
// record's data only a few bytes so that the file stays small.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "usage: make-bench-archive RECORDS OUTPUT\n");
    return 2;
  }
  const long count = std::strtol(argv[1], nullptr, 10);
  if (count < 0 || count > 50'000'000) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "make-bench-archive: RECORDS must be 0 to 50000000\n");
    return 2;
  }
  std::vector<archive::RecordSpec> records;
  records.reserve(static_cast<std::size_t>(count));
  for (long i = 0; i < count; ++i) {
    archive::RecordSpec record;
    record.name = "R" + std::to_string(i) + ".SPR";
    const bool compressed = i % 2 == 1;
    record.method = compressed ? archive::kMethodLzw : archive::kMethodStored;
    record.storedSize = static_cast<std::int32_t>(1000 + i % 5000);
    record.uncompressedLength = compressed ? record.storedSize * 3 : 0;
    record.dataBytes = compressed ? 4 : 0;
    records.push_back(record);
  }
  const archive::ArchiveImage image = archive::BuildArchive("Benchmark", 1, records);
  return image.WriteTo(argv[2]) ? 0 : 1;
}

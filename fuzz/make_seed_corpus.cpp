// Writes the fuzzers' seed inputs with our own archive writer: well-formed archives and the
// hostile shapes the listing must survive.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/archive_writer.h"

namespace {

using archive::ArchiveImage;
using archive::HeaderFields;

ArchiveImage Hostile(std::int32_t count, std::int32_t directoryOffset, std::size_t size) {
  ArchiveImage image;
  HeaderFields header;
  header.recordCount = count;
  header.directoryOffset = directoryOffset;
  header.title = "Hostile";
  image.PutHeader(header);
  image.Resize(size);
  return image;
}

std::vector<std::pair<std::string, ArchiveImage>> ArchiveSeeds() {
  std::vector<std::pair<std::string, ArchiveImage>> seeds;
  seeds.emplace_back("mixed", archive::BuildArchive("Mixed", 3,
                                                    {{"A.PAL", 0, 30, 0, false, -1},
                                                     {"B.SPR", 1, 12, 400, false, -1},
                                                     {"C.SPR", 7, 8, 0, false, -1},
                                                     {"D.SPR", 1, 0, 0, true, -1}}));
  seeds.emplace_back("empty", archive::BuildArchive("", 0, {}));
  seeds.emplace_back("huge-count", Hostile(2147483647, 82, 200));
  seeds.emplace_back("negative-directory", Hostile(2147483647, -2000000000, 200));
  seeds.emplace_back("negative-count", Hostile(-5, 82, 150));
  ArchiveImage lengths = archive::BuildArchive("Lengths", 1,
                                               {{"ZERO.BIN", 1, 9, 0, false, 4},
                                                {"NEG.BIN", 1, 9, -1, false, 4},
                                                {"BIG.BIN", 1, 2147483647, 1, false, 4}});
  seeds.emplace_back("lengths", lengths);
  ArchiveImage longNames;
  HeaderFields header;
  header.recordCount = 1;
  header.title = std::string(40, '\xE9');
  header.titleLength = 255;
  longNames.PutHeader(header);
  longNames.PutEntry(82, {-1, 5, 1, "\x1B[2J\r\n\t&\0", std::uint8_t{200}});
  seeds.emplace_back("long-names", longNames);
  return seeds;
}

// Writes the seed files and remembers whether each was written whole (a failed open, write or
// close leaves its stream failed).
class SeedWriter {
 public:
  void Write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    out.close();
    allWritten_ = allWritten_ && out;
  }
  bool AllWritten() const { return allWritten_; }

 private:
  bool allWritten_ = true;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "usage: make-seed-corpus FOLDER\n");
    return 2;
  }
  const std::filesystem::path root(argv[1]);
  std::filesystem::create_directories(root / "archive_listing");
  std::filesystem::create_directories(root / "text_helpers");
  std::filesystem::create_directories(root / "wine_hive");
  std::filesystem::create_directories(root / "wine_paths");
  for (const auto& [name, image] : ArchiveSeeds()) {
    if (!image.WriteTo((root / "archive_listing" / name).string())) {
      return 1;
    }
  }
  const char* const paths[] = {
      "C:\\GAMES\\DATA\\HERO.SPR", "D:HERO", "a.b\\c", "/home/ann/hero.spr",
      "\x80\x81\xFF name.map",     ""};
  SeedWriter seeds;
  int i = 0;
  for (const char* path : paths) {
    seeds.Write(root / "text_helpers" / ("path-" + std::to_string(i++)), path);
  }
  seeds.Write(root / "text_helpers" / "numbers",
              std::string("\x07\x00\x00\x00\x00\x00\x00\x80\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 16));
  const std::string hiveHead =
      "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n"
      "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1733500000\n#time=1db47f0\n";
  const char* const values[] = {
      "\"SystemRoot\"=\"C:\\\\windows\"\n",
      "\"SystemRoot\"=str(2):\"%SystemDrive%\\\\win\\\"dows\\\\\"\n",
      "\"systemroot\"=dword:00000010\n",
      "\"SystemRoot\"=hex(7):43,00,3a,00,5c,00,00,00,00,00\n",
      "\"SystemRoot\"=hex:43,3a,\\\n  5c,00\n",
      "\"SystemRoot\"=str(7):\"C:\\\\a\\0b\\0\"\n",
      "\"SystemRoot\"=hex(1):43,00,3a,00,00,00\n",
      "\"SystemRoot\"=\"\"\n",
  };
  i = 0;
  for (const char* value : values) {
    seeds.Write(root / "wine_hive" / ("hive-" + std::to_string(i++)), hiveHead + value);
  }
  const char* const dosPaths[] = {"C:\\windows\\Gorblunk.Ini",
                                  "\\Gorblunk.Ini",
                                  "D:\\Data\\..\\..\\x.",
                                  "g:games\\gorblunk\\ ",
                                  "\\\\server\\share\\f",
                                  "C:\\a<b>\\c",
                                  "Q:\\x\\y"};
  i = 0;
  for (const char* path : dosPaths) {
    seeds.Write(root / "wine_paths" / ("path-" + std::to_string(i++)), path);
  }
  return seeds.AllWritten() ? 0 : 1;
}

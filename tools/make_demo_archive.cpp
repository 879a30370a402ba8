// Writes the small demo archive that the README's run command lists: a dozen records, some
// stored, some compressed, and one empty slot.
#include <cstdio>
#include <vector>

#include "archive/archive_writer.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "usage: make-demo-archive OUTPUT\n");
    return 2;
  }
  using archive::kMethodLzw;
  using archive::kMethodStored;
  const std::vector<archive::RecordSpec> records = {
      {"HERO.PAL", kMethodStored, 768, 0, false, -1},
      {"HEROIDLE.SPR", kMethodLzw, 3120, 9216, false, -1},
      {"HEROWALK.SPR", kMethodLzw, 11874, 36864, false, -1},
      {"HERORUN.SPR", kMethodLzw, 10302, 36864, false, -1},
      {"HEROJUMP.SPR", kMethodLzw, 6650, 18432, false, -1},
      {"HEROHIT.SPR", kMethodStored, 4608, 0, false, -1},
      {"OLDSHOT.SPR", kMethodStored, 0, 0, true, -1},
      {"SHOTS.SPR", kMethodLzw, 2210, 4096, false, -1},
      {"SPARKS.SPR", kMethodLzw, 1804, 2048, false, -1},
      {"ICONS.SPR", kMethodStored, 2048, 0, false, -1},
      {"SHADOW.LIT", kMethodStored, 256, 0, false, -1},
      {"CREDITS.TXT", kMethodStored, 1391, 0, false, -1},
  };
  const archive::ArchiveImage image = archive::BuildArchive("Gorblunk hero sprites", 3, records);
  if (!image.WriteTo(argv[1])) {
    // A message that standard error cannot take has nowhere else to go; the status still tells.
    std::fprintf(stderr, "make-demo-archive: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "command_line.h"
#include "console_text.h"
#include "row_spool.h"
#include "temp_dir.h"

namespace {

using lister::cli::RowSpool;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(std::FILE* file) {
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

RunResult RunLs(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  RunResult result;
  result.status = lister::cli::RunLister(args, out, err);
  result.out = ReadAll(out);
  result.err = ReadAll(err);
  return result;
}

const std::string kHeroTable =
    "Trovanta (hero.spr)\n"
    "Number  Record name   Comp.  Comp. Size  Uncomp. Size  Comp. ratio\n"
    "0       HERO.PAL      no     5000\n"
    "1       WALK.SPR      lzw    3000        10000         70.0%\n"
    "2       empty record\n"
    "\n"
    "Archive title:             Heroes\n"
    "Version number:            3\n"
    "Total number of records:   3\n"
    "Total uncompressed length: 15 KB \n"
    "Total compressed length:   8 KB (46.7% gained)\n";
const std::string kColumns =
    R"j("columns":["Number","Record name","Comp.","Comp. Size","Uncomp. Size","Comp. ratio"],)j";

std::string Usage(const std::string& message) {
  return "trovanta-ls: " + message + "\nTry 'trovanta-ls --help' for more information.\n";
}

TEST(ConsoleListerTest, PrintsEveryFormatAndStatus) {
  testing_support::TempDir dir;
  const std::string hero =
      dir.Write("hero.spr", archive::BuildArchive("Heroes", 3,
                                                  {{"HERO.PAL", 0, 5000, 0, false, -1},
                                                   {"WALK.SPR", 1, 3000, 10000, false, -1},
                                                   {"OLD.SPR", 0, 0, 0, true, -1}}));
  const std::string odd =
      dir.Write("odd.spr", archive::BuildArchive("\x1B[31mRed\xE9\r\"", 1,
                                                 {{"A\tB\\\x81.\xC9\x9D", 0, 1, 0, false, -1}}));
  archive::ArchiveImage image;
  image.PutHeader({std::string(archive::kSignature), 82, 1, 2147483647, "", {}});
  image.PutEntry(archive::kHeaderSize, {82, 0, 0, "ONLY.BIN", {}});
  const std::string huge = dir.Write("huge.spr", image);
  const std::string junk = dir.WriteText("junk.map", "junk");
  const std::string missing = dir.File("missing.spr");
  struct Case {
    std::vector<std::string> args;
    RunResult expected;
  };
  const Case cases[] = {
      {{hero}, {0, kHeroTable, ""}},
      {{"--bytes", "--format", "tsv", hero},
       {0,
        "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n"
        "0\tHERO.PAL\tno\t5000\t\t\n1\tWALK.SPR\tlzw\t3000\t10000\t70.0%\n2\tempty "
        "record\t\t\t\t\n",
        ""}},
      // Controls are escaped, in tsv the separator too; JSON output is ASCII.
      {{"--format", "tsv", odd},
       {0,
        "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n"
        "0\tA\\x09B\\\\\\x81.\xC3\x89\\x9D\tno\t1\t\t\n",
        ""}},
      {{"--format=json", "--bytes", odd, missing},
       {1,
        R"j({"archive":")j" + odd + R"j(","caption":"Trovanta (odd.spr)",)j" + kColumns +
            R"j("rows":[["0","A\tB\\\u0081.\u00c9\u009d","no","1","",""]],)j"
            R"j("summary":[["Archive title:","\u001b[31mRed\u00e9\r\""],["Version number:","1"],)j"
            R"j(["Total number of records:","1"],["Total uncompressed length:","1 bytes "],)j"
            R"j(["Total compressed length:","1 bytes (not compressed)"]],"omitted_empty_records":0})j"
            "\n"
            R"j({"archive":")j" +
            missing +
            R"j(","error":"This file does not exist."})j"
            "\n",
        ""}},
      {{junk, hero, ""},
       {1, kHeroTable,
        "trovanta-ls: " + junk +
            ": JUNK.MAP is not a valid archive file.\ntrovanta-ls: No file specified.\n"}},
      {{"--format", "tsv", junk},
       {1, "", "trovanta-ls: " + junk + ": JUNK.MAP is not a valid archive file.\n"}},
      {{"--format", "json", "--format=tsv", missing},
       {1, "", "trovanta-ls: " + missing + ": This file does not exist.\n"}},
      {{hero, hero}, {0, kHeroTable + "\n" + kHeroTable, ""}},
      {{}, {2, "", Usage("no archive given")}},
      {{"--bytes"}, {2, "", Usage("no archive given")}},
      {{"a.spr", "--format"}, {2, "", Usage("--format needs a value: table, tsv or json")}},
      {{"--format", "xml", "a.spr"},
       {2, "", Usage("unknown format 'xml': use table, tsv or json")}},
      {{"--colour", "a.spr"}, {2, "", Usage("unknown option '--colour'")}},
      {{"--", "--help"}, {1, "", "trovanta-ls: --help: This file does not exist.\n"}},
      {{"-"}, {1, "", "trovanta-ls: -: This file does not exist.\n"}}};
  for (const auto& [args, expected] : cases) {
    const RunResult result = RunLs(args);
    EXPECT_EQ(result.status, expected.status) << args.size();
    EXPECT_EQ(result.out, expected.out);
    EXPECT_EQ(result.err, expected.err);
  }
  const RunResult json = RunLs({"--format", "json", huge});
  EXPECT_NE(json.out.find(R"j(["1","2147483646 empty records","","","",""]],)j"),
            std::string::npos);
  EXPECT_TRUE(json.out.ends_with(R"j(]],"omitted_empty_records":2147483646})j"
                                 "\n"))
      << json.out;
  const RunResult table = RunLs({odd});
  EXPECT_NE(table.out.find("\nArchive title:             \\x1B[31mRed\xC3\xA9\\x0D\"\n"),
            std::string::npos)
      << table.out;
  for (const std::string help : {"--help", "-h"}) {
    const RunResult result = RunLs({"a.spr", help});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(
        result.out.rfind("Usage: trovanta-ls [--bytes] [--format table|tsv|json] ARCHIVE...\n", 0),
        0u);
  }
}

TEST(ConsoleTextTest, EscapesEveryControlCharacter) {
  const std::tuple<std::string, bool, std::string> cases[] = {
      {"plain \xC3\xA9 \xC2\xA0 ~", false, "plain \xC3\xA9 \xC2\xA0 ~"},
      {std::string("\0\x1F\x7F", 3), false, "\\x00\\x1F\\x7F"},
      {"\xC2\x80|\xC2\x9F|\xC2\x7F", false, "\\x80|\\x9F|\xC2\\x7F"},
      {"end \xC2", false, "end \xC2"},
      {"a\\b\tc", false, "a\\b\\x09c"},
      {"a\\b\tc", true, "a\\\\b\\x09c"}};
  for (const auto& [text, separators, escaped] : cases) {
    EXPECT_EQ(lister::cli::EscapeControls(text, separators), escaped) << text;
  }
  EXPECT_EQ(lister::cli::DisplayWidth("a\xC3\xA9\xE2\x82\xAC"), 3u);
}

// The in-memory spool stands in where no temporary file can be made.
TEST(RowSpoolTest, KeepsRowsInOrderInAFileOrInMemory) {
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const std::ptrdiff_t openBefore = openFiles();
  for (const auto storage : {RowSpool::Storage::kTemporaryFile, RowSpool::Storage::kMemory}) {
    RowSpool spool(storage);
    EXPECT_EQ(spool.Where(), storage);
    lister::RecordRow row;
    for (row.index = 0; row.index < 5000; ++row.index) {  // more than one block
      row.SetName(std::to_string(row.index));
      spool.Add(row);
    }
    std::int32_t next = 0;
    spool.Drain([&](const lister::RecordRow& drained) {
      EXPECT_EQ(std::pair(drained.index, drained.Name()),
                std::pair(next, std::string_view(std::to_string(next))));
      ++next;
    });
    EXPECT_EQ(next, 5000);
    spool.Drain([](const lister::RecordRow&) { ADD_FAILURE() << "a drained spool is empty"; });
  }
  EXPECT_EQ(openFiles(), openBefore);
}

}  // namespace

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "command_line.h"
#include "console_text.h"
#include "row_spool.h"
#include "temp_dir.h"

namespace {

using lister::cli::RowSpool;
using Outcome = std::tuple<int, std::string, std::string>;  // exit status, standard output, error

std::string ReadAll(std::FILE* file) {
  std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
}

Outcome RunLs(const std::vector<std::string>& args) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = lister::cli::RunLister(args, out, err);
  return {status, ReadAll(out), ReadAll(err)};
}

// Statuses, streams and escaping; whole listings of the demo archive are compared end to end.
TEST(ConsoleListerTest, PrintsEveryFormatAndStatusWithControlsEscaped) {
  testing_support::TempDir dir;
  const std::string odd =
      dir.Write("odd.spr", archive::BuildArchive("\x1B[31mRed\xE9\r\"", 1,
                                                 {{"A\tB\\\x81.\xC9\x9D", 0, 1, 0, false, -1}}));
  archive::ArchiveImage image = archive::BuildArchive("", 1, {{"ONLY.BIN", 0, 0, 0, false, -1}});
  image.PutI32(archive::kHeaderRecordCountOffset, 2147483647);
  const std::string junk = dir.WriteText("junk.map", "junk");
  const std::string notArchive =
      "trovanta-ls: " + junk + ": JUNK.MAP is not a valid archive file.\n";
  const auto usage = [](const std::string& message) {
    return Outcome{
        2, "", "trovanta-ls: " + message + "\nTry 'trovanta-ls --help' for more information.\n"};
  };
  // Controls are escaped, in tsv the separator too; JSON output is ASCII.
  const std::string oddTsv =
      "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n"
      "0\tA\\x09B\\\\\\x81.\xC3\x89\\x9D\tno\t1\t\t\n";
  const std::pair<std::vector<std::string>, Outcome> cases[] = {
      // A failure does not stop the listing of the next archive.
      {{junk, "--format=tsv", odd, ""},
       {1, oddTsv, notArchive + "trovanta-ls: No file specified.\n"}},
      // The last format given counts; a failed tsv listing prints no header.
      {{"--format", "json", "--format=tsv", junk}, {1, "", notArchive}},
      {{"--", "--help"}, {1, "", "trovanta-ls: --help: This file does not exist.\n"}},
      {{"-"}, {1, "", "trovanta-ls: -: This file does not exist.\n"}},
      {{"a.spr", "--version", "--colour"}, {0, "trovanta-ls 1.0.0\n", ""}},
      {{"--bytes"}, usage("no archive given")},
      {{"a.spr", "--format"}, usage("--format needs a value: table, tsv or json")},
      {{"--format", "xml", "a.spr"}, usage("unknown format 'xml': use table, tsv or json")},
      {{"--colour", "a.spr"}, usage("unknown option '--colour'")}};
  for (const auto& [args, expected] : cases) {
    EXPECT_EQ(RunLs(args), expected) << args.back();
  }
  // The whole object is compared end to end; here its escapes, one per line and ASCII.
  const std::string json =
      std::get<1>(RunLs({"--format=json", odd, dir.Write("huge.spr", image), dir.File("none")}));
  for (const char* part : {R"j(["0","A\tB\\\u0081.\u00c9\u009d","no","1","",""]],"summary")j",
                           R"j([["Archive title:","\u001b[31mRed\u00e9\r\""],["Version)j",
                           "]],\"omitted_empty_records\":2147483646}\n{\"archive\":\"",
                           "none\",\"error\":\"This file does not exist.\"}\n"}) {
    EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
  }
  const std::string table = std::get<1>(RunLs({odd}));
  EXPECT_NE(table.find("\\x1B[31mRed\xC3\xA9\\x0D\"\n"), std::string::npos) << table;
  // Outside tsv a backslash stays as it is.
  const std::pair<std::string, std::string> texts[] = {
      {"plain \xC3\xA9 \xC2\xA0 ~", "plain \xC3\xA9 \xC2\xA0 ~"},
      {std::string("\0\x1F\x7F", 3), "\\x00\\x1F\\x7F"},
      {"\xC2\x80|\xC2\x9F|\xC2\x7F", "\\x80|\\x9F|\xC2\\x7F"},
      {"end \xC2", "end \xC2"},
      {"a\\b\tc", "a\\b\\x09c"}};
  for (const auto& [text, escaped] : texts) {
    EXPECT_EQ(lister::cli::EscapeControls(text), escaped) << text;
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
    for (lister::RecordRow row; row.index < 5000; ++row.index) {  // more than one block
      spool.Add(row);
    }
    std::int32_t next = 0;
    spool.Drain([&](const lister::RecordRow& drained) { EXPECT_EQ(drained.index, next++); });
    spool.Drain([&](const lister::RecordRow&) { ++next; });  // a drained spool is empty
    EXPECT_EQ((std::pair{spool.Where(), next}), (std::pair{storage, 5000}));
  }
  EXPECT_EQ(openFiles(), openBefore);
}

}  // namespace

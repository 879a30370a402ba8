#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "command_line.h"
#include "temp_dir.h"

namespace {

using archive::RecordSpec;
using testing_support::TempDir;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(std::FILE* file) {
  std::string text;
  std::rewind(file);
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, got);
  }
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

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

class ConsoleListerTest : public ::testing::Test {
 protected:
  std::string Sample() {
    return dir.Write("hero.spr", archive::BuildArchive("Heroes", 3,
                                                       {{"HERO.PAL", 0, 5000, 0, false, -1},
                                                        {"WALK.SPR", 1, 3000, 10000, false, -1},
                                                        {"OLD.SPR", 0, 0, 0, true, -1}}));
  }
  TempDir dir;
};

TEST_F(ConsoleListerTest, TablePrintsCaptionColumnsAndSummary) {
  const RunResult result = RunLs({Sample()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
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
            "Total compressed length:   8 KB (46.7% gained)\n");
}

TEST_F(ConsoleListerTest, TsvInBytes) {
  const RunResult result = RunLs({"--bytes", "--format", "tsv", Sample()});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out,
            "Number\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n"
            "0\tHERO.PAL\tno\t5000\t\t\n"
            "1\tWALK.SPR\tlzw\t3000\t10000\t70.0%\n"
            "2\tempty record\t\t\t\t\n");
}

TEST_F(ConsoleListerTest, JsonObjectPerArchive) {
  const std::string missing = dir.File("missing.spr");
  const RunResult result = RunLs({"--format=json", "--bytes", Sample(), missing});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "");
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 2u);
  const nlohmann::json listed = nlohmann::json::parse(lines[0]);
  EXPECT_EQ(listed["caption"], "Trovanta (hero.spr)");
  EXPECT_EQ(listed["columns"], nlohmann::json({"Number", "Record name", "Comp.", "Comp. Size",
                                               "Uncomp. Size", "Comp. ratio"}));
  EXPECT_EQ(listed["rows"][1], nlohmann::json({"1", "WALK.SPR", "lzw", "3000", "10000", "70.0%"}));
  EXPECT_EQ(listed["rows"].size(), 3u);
  EXPECT_EQ(listed["summary"][3], nlohmann::json({"Total uncompressed length:", "15000 bytes "}));
  EXPECT_EQ(listed["summary"][4],
            nlohmann::json({"Total compressed length:", "8000 bytes (46.7% gained)"}));
  EXPECT_EQ(listed["omitted_empty_records"], 0);
  EXPECT_EQ(nlohmann::json::parse(lines[1]),
            nlohmann::json({{"archive", missing}, {"error", "This file does not exist."}}));
}

TEST_F(ConsoleListerTest, JsonCountsCollapsedEmptyRecords) {
  archive::ArchiveImage image;
  archive::HeaderFields header;
  header.recordCount = 2147483647;
  image.PutHeader(header);
  image.PutEntry(archive::kHeaderSize, {82, 0, 0, "ONLY.BIN", std::nullopt});
  const RunResult result = RunLs({"--format", "json", dir.Write("huge.spr", image)});
  EXPECT_EQ(result.status, 0);
  const nlohmann::json listed = nlohmann::json::parse(result.out);
  EXPECT_EQ(listed["rows"].size(), 2u);
  EXPECT_EQ(listed["rows"][1][1], "2147483646 empty records");
  EXPECT_EQ(listed["omitted_empty_records"], 2147483646);
  EXPECT_EQ(listed["summary"][2][1], "2147483647");
}

TEST_F(ConsoleListerTest, ArchiveTextIsDecodedAndControlsEscaped) {
  const std::string path = dir.Write(
      "odd.spr",
      archive::BuildArchive("\x1B[31mRed\xE9\r", 1, {{"A\tB\\\x81.\xC9", 0, 1, 0, false, -1}}));
  const RunResult tsv = RunLs({"--format", "tsv", path});
  EXPECT_EQ(Lines(tsv.out).at(1), "0\tA\\x09B\\\\\\x81.\xC3\x89\tno\t1\t\t");
  const RunResult table = RunLs({path});
  EXPECT_NE(table.out.find("Archive title:             \\x1B[31mRed\xC3\xA9\\x0D\n"),
            std::string::npos)
      << table.out;
  const RunResult json = RunLs({"--format", "json", path});
  EXPECT_EQ(json.out.find('\x1B'), std::string::npos);
  const nlohmann::json listed = nlohmann::json::parse(json.out);
  EXPECT_EQ(listed["summary"][0][1], "\x1B[31mRed\xC3\xA9\r");
  EXPECT_EQ(listed["rows"][0][1], "A\tB\\\xC2\x81.\xC3\x89");
}

TEST_F(ConsoleListerTest, FailuresGoToStandardErrorAndSetTheStatus) {
  const std::string bad = dir.WriteText("junk.map", "junk");
  const RunResult result = RunLs({bad, Sample(), ""});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "trovanta-ls: " + bad +
                            ": JUNK.MAP is not a valid archive file.\n"
                            "trovanta-ls: No file specified.\n");
  EXPECT_EQ(Lines(result.out).at(0), "Trovanta (hero.spr)");
  const RunResult tsv = RunLs({"--format", "tsv", bad});
  EXPECT_EQ(tsv.status, 1);
  EXPECT_EQ(tsv.out, "");
}

TEST_F(ConsoleListerTest, SeveralArchivesAreSeparatedByABlankLine) {
  const std::string first = Sample();
  const RunResult result = RunLs({first, first});
  EXPECT_EQ(result.status, 0);
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 23u);
  EXPECT_EQ(lines[11], "");
  EXPECT_EQ(lines[12], "Trovanta (hero.spr)");
}

TEST(ConsoleListerUsageTest, UsageErrorsAndHelp) {
  const std::vector<std::vector<std::string>> usageErrors = {
      {}, {"--format"}, {"--format", "xml", "a.spr"}, {"--colour", "a.spr"}, {"--bytes"}};
  for (const auto& args : usageErrors) {
    const RunResult result = RunLs(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("trovanta-ls: ", 0), 0u) << result.err;
  }
  const RunResult help = RunLs({"--help", "a.spr"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("Usage: trovanta-ls", 0), 0u);
  // After "--" every argument is an archive path.
  const RunResult dashed = RunLs({"--", "--help"});
  EXPECT_EQ(dashed.status, 1);
  EXPECT_EQ(dashed.err, "trovanta-ls: --help: This file does not exist.\n");
}

}  // namespace

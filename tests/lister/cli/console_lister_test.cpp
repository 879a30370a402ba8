#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>

#include "lister/cli/command_line.h"
#include "lister/cli/console_text.h"
#include "lister/cli/row_spool.h"
#include "tests/support/temp_dir.h"

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

Outcome RunLs(const std::vector<std::string>& args, const lister::cli::SpoolStorage& storage = {}) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int status = lister::cli::RunLister(args, out, err, storage);
  return {status, ReadAll(out), ReadAll(err)};
}

// Statuses, streams and escaping; whole listings of the demo archive are compared end to end.
TEST(ConsoleListerTest, PrintsEveryFormatAndStatusWithControlsEscaped) {
  testing_support::TempDir dir;
  const std::string odd = dir.Write(
      "odd.spr", archive::BuildArchive("\x1B[31mRed\xE9\r\"", 1, {{"A\tB\\\x81.\xC9\x9D", 0, 1}}));
  const std::string none = dir.Write("\xFFnone.spr", archive::BuildArchive("", 2, {}));
  const std::string junk = dir.WriteText("junk.map", "junk");
  const std::string notArchive =
      "trovanta-ls: " + junk + ": JUNK.MAP is not a valid archive file.\n";
  const auto usage = [](const std::string& message) {
    return Outcome{
        2, "", "trovanta-ls: " + message + "\nTry 'trovanta-ls --help' for more information.\n"};
  };
  // Controls are escaped, in tsv the separator too; one header line leads the whole output.
  const std::string oddTsv = odd + "\t0\tA\\x09B\\\\\\x81.\xC3\x89\\x9D\tno\t1\t\t\n";
  const std::string tsvHeader =
      "Archive\tNumber\tRecord name\tComp.\tComp. Size\tUncomp. Size\tComp. ratio\n";
  const std::pair<std::vector<std::string>, Outcome> cases[] = {
      // A failure does not stop the listing of the next archive.
      {{junk, "--format=tsv", odd, none, odd, ""},
       {1, tsvHeader + oddTsv + oddTsv, notArchive + "trovanta-ls: No file specified.\n"}},
      {{"--format", "json", "--format=tsv", "--no-header", junk, odd}, {1, oddTsv, notArchive}},
      {{"--", "--help"}, {1, "", "trovanta-ls: --help: This file does not exist.\n"}},
      {{"a.spr", "-"}, usage("reading standard input is not supported")},
      {{"a.spr", "--version", "--colour"}, {0, "trovanta-ls 1.0.0\n", ""}},
      {{"--bytes"}, usage("no archive given")},
      {{"a.spr", "--format"}, usage("--format needs a value: table, tsv or json")},
      {{"--format", "xml", "a.spr"}, usage("unknown format 'xml': use table, tsv or json")},
      {{"--colour", "a.spr"}, usage("unknown option '--colour'")}};
  for (const auto& [args, expected] : cases) {
    EXPECT_EQ(RunLs(args), expected) << args.back();
  }
  const std::string table = std::get<1>(RunLs({odd}));
  EXPECT_NE(table.find("Trovanta (odd.spr)\n"), std::string::npos) << table;
  EXPECT_NE(table.find("\\x1B[31mRed\xC3\xA9\\x0D\"\n"), std::string::npos) << table;
  // Among several archives each caption names the path as given.
  const std::string twoTables = std::get<1>(RunLs({odd, none}));
  EXPECT_NE(twoTables.find("\n\nTrovanta (" + none + ")\n"), std::string::npos) << twoTables;
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

// JSON lines are typed: integers and null, no display text; ASCII only, the path kept whole.
TEST(ConsoleListerTest, PrintsTypedJsonLines) {
  testing_support::TempDir dir;
  archive::ArchiveImage image = archive::BuildArchive(
      "T\xE9", 7, {{"Z", 1, 3000, 10000}, {"X", 1, 3000, 2000}, {"E", 0, 5, 0, true}});
  const std::string sparse = dir.Write("s.spr", image);
  image.PutI32(archive::kHeaderRecordCountOffset, 2147483647);
  const std::string huge = dir.Write("h\xFF.spr", image);
  const std::string text = std::get<1>(RunLs({"--format=json", sparse, huge, dir.File("no")}));
  EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c > 0; })) << text;
  std::vector<nlohmann::json> lines;
  for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(nlohmann::json::parse(text.substr(at, end - at)));
  }
  nlohmann::json rows = nlohmann::json::parse(
      R"([{"number":0,"kind":"record","count":1,"name":"Z","method":1,"compressed":true,)"
      R"("stored_size":3000,"uncompressed_size":10000,"ratio_permille":700},)"
      R"({"number":1,"kind":"record","count":1,"name":"X","method":1,"compressed":true,)"
      R"("stored_size":3000,"uncompressed_size":2000,"ratio_permille":-500},)"
      R"({"number":2,"kind":"empty","count":1,"name":null,"method":null,"compressed":null,)"
      R"("stored_size":null,"uncompressed_size":null,"ratio_permille":null}])");
  const nlohmann::json totals = nlohmann::json::parse(
      R"({"uncompressed":12000,"compressed":6000,"any_compressed":true,"saving_permille":500})");
  ASSERT_EQ(lines.size(), 3u) << text;
  EXPECT_EQ(lines[0], (nlohmann::json{{"archive", sparse},
                                      {"title", "T\xC3\xA9"},
                                      {"version", 7},
                                      {"record_count", 3},
                                      {"rows", rows},
                                      {"totals", totals}}));
  rows.push_back(rows[2]);  // a run has a count and no record fields
  rows[3].update(nlohmann::json{{"number", 3}, {"kind", "empty_run"}, {"count", 2147483644}});
  EXPECT_EQ(lines[1]["rows"], rows);
  EXPECT_EQ(lines[1]["record_count"], 2147483647);
  EXPECT_EQ(lines[1]["archive_bytes"], std::vector<unsigned char>(huge.begin(), huge.end()));
  EXPECT_EQ(lines[2]["error"],
            (nlohmann::json{{"kind", "not_found"}, {"message", "This file does not exist."}}));
}

// A spool file in memory that takes `writeRoom` bytes (then the disk is full) and gives back the
// first `readRoom` (then the disk fails).
class TightFile : public lister::cli::SpoolFile {
 public:
  TightFile(std::size_t writeRoom, std::size_t readRoom)
      : writeRoom_(writeRoom), readRoom_(readRoom) {}
  lister::cli::SpoolIo Write(const void* bytes, std::size_t size) override {
    const std::size_t taken = std::min(size, writeRoom_ - data_.size());
    data_.append(static_cast<const char*>(bytes), taken);
    return {taken, taken < size ? ENOSPC : 0};
  }
  lister::cli::SpoolIo Read(void* bytes, std::size_t size) override {
    const std::size_t given = std::min({size, data_.size() - read_, readRoom_ - read_});
    std::memcpy(bytes, data_.data() + read_, given);
    read_ += given;
    return {given, given < size && read_ == readRoom_ ? EIO : 0};
  }

 private:
  std::string data_;
  std::size_t writeRoom_, readRoom_, read_ = 0;
};

// An output whose one write that reaches byte `failAt` fails for want of space; the others pass.
std::FILE* OutputFailingOnce(long failAt) {
  cookie_io_functions_t io{};
  io.write = [](void* cookie, const char*, std::size_t size) -> ssize_t {
    long& left = *static_cast<long*>(cookie);
    const bool fails = left >= 0 && left < static_cast<long>(size);
    left = fails ? -1 : left - static_cast<long>(size);
    errno = fails ? ENOSPC : errno;
    return fails ? -1 : static_cast<ssize_t>(size);
  };
  io.close = [](void* cookie) { return delete static_cast<long*>(cookie), 0; };
  return fopencookie(new long(failAt), "w", io);
}

constexpr std::size_t kRow = sizeof(lister::RecordRow);
constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
const std::string kNoRoom =
    "no room for its rows in a temporary file (No space left on device) or in memory";

// Rows to the file while it takes them, then to memory; lost only when memory is full too.
lister::cli::SpoolStorage Tight(std::size_t fileRows, std::size_t memoryRows,
                                std::size_t readRows = kAll / kRow) {
  return {[=] { return std::make_unique<TightFile>(fileRows * kRow + 7, readRows * kRow); },
          memoryRows};
}

TEST(RowSpoolTest, KeepsRowsInOrderWhereverTheyFitOrTellsWhyNot) {
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
  };
  const std::ptrdiff_t openBefore = openFiles();
  // Storage, then why rows were lost and how many reached the sink.
  const std::tuple<lister::cli::SpoolStorage, std::string, int> cases[] = {
      {{}, "", 10000},  // the temporary file, over more than one block
      {Tight(5000, kAll), "", 10000},
      {Tight(0, kAll), "", 10000},
      {Tight(5000, 4999), kNoRoom, 0},
      {Tight(kAll / kRow, kAll, 6000),
       "cannot read its rows back from the temporary file (Input/output error)", 4096}};
  for (const auto& [storage, failure, drained] : cases) {
    RowSpool spool(storage);
    for (lister::RecordRow row; row.index < 10000; ++row.index) {
      spool.Add(row);
    }
    std::int32_t next = 0;
    const bool whole =
        spool.Drain([&](const lister::RecordRow& drained) { EXPECT_EQ(drained.index, next++); });
    EXPECT_EQ(std::tuple(whole, spool.Failure(), next),
              std::tuple(failure.empty(), failure, drained));
    spool.Clear();  // the next listing starts afresh
    spool.Add({});
    EXPECT_TRUE(spool.Drain([](const lister::RecordRow&) {}));
  }
  EXPECT_EQ(openFiles(), openBefore);
}

// The spool file goes to the folder that TMPDIR names, and fails there when it cannot be made.
TEST(RowSpoolTest, MakesItsFileWhereTmpdirSays) {
  testing_support::TempDir dir;
  const char* before = std::getenv("TMPDIR");
  const std::string saved = before != nullptr ? before : "";
  std::vector<std::string> targets;
  ASSERT_EQ(::setenv("TMPDIR", dir.Path().c_str(), 1), 0);
  const std::unique_ptr<lister::cli::SpoolFile> file = lister::cli::OpenTemporarySpoolFile();
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    targets.push_back(std::filesystem::read_symlink(entry).string());
  }
  ASSERT_EQ(::setenv("TMPDIR", dir.File("missing").c_str(), 1), 0);
  const lister::cli::SpoolIo missing = lister::cli::OpenTemporarySpoolFile()->Write("r", 1);
  ASSERT_EQ(before != nullptr ? ::setenv("TMPDIR", saved.c_str(), 1) : ::unsetenv("TMPDIR"), 0);
  EXPECT_EQ(file->Write("r", 1).bytes, 1u);
  EXPECT_TRUE(std::any_of(targets.begin(), targets.end(), [&](const std::string& target) {
    return target.rfind(dir.File("trovanta-ls-"), 0) == 0;
  }));
  EXPECT_EQ(std::pair(missing.bytes, missing.error), std::pair(std::size_t{0}, ENOENT));
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));  // nothing is left with a name
}

// Output that cannot be written whole: one line, status 1, and the run stops.
TEST(ConsoleListerTest, ReportsOutputThatCannotBeWrittenWhole) {
  testing_support::TempDir dir;
  std::vector<archive::RecordSpec> records(5000, {"R.SPR", 1, 10, 30});
  const std::string big = dir.Write("big.spr", archive::BuildArchive("Big", 1, records));
  const std::string demo = dir.Write("demo.spr", archive::BuildArchive("Demo", 1, {records[0]}));
  const std::string full = "trovanta-ls: cannot write the listing: No space left on device\n";
  for (const char* format : {"--format=table", "--format=json", "--format=tsv"}) {
    // The small listing fails as it is flushed, the large one in the middle of its rows.
    for (const auto& [archive, failAt] : {std::pair{demo, 0}, std::pair{big, 20000}}) {
      std::FILE* out = OutputFailingOnce(failAt);
      std::FILE* err = std::tmpfile();
      const int status = lister::cli::RunLister({format, archive, archive}, out, err);
      std::fclose(out);
      EXPECT_EQ((std::pair{status, ReadAll(err)}), (std::pair{1, full})) << format << archive;
    }
  }
  // Table and JSON keep rows aside until the listing's end, where tsv prints them as they come.
  for (const char* format : {"--format=table", "--format=json"}) {
    const Outcome listed = RunLs({format, big, demo, big});
    EXPECT_EQ(std::get<0>(listed), 0);
    EXPECT_EQ(RunLs({format, big, demo, big}, Tight(3000, kAll)), listed) << format;
    EXPECT_EQ(RunLs({format, big, demo, big}, Tight(3000, 100)),
              (Outcome{1, "", "trovanta-ls: cannot write the listing: " + kNoRoom + "\n"}));
  }
}

// An archive replaced while it is listed (as the spool file is opened, for its first block of
// rows): the rows so far, one row for the rest, the message and status 1.
TEST(ConsoleListerTest, ReportsAnArchiveReplacedWhileItWasListed) {
  testing_support::TempDir dir;
  const auto image = archive::BuildArchive("B", 1, std::vector<archive::RecordSpec>(5000, {"R"}));
  const std::string big = dir.Write("big.spr", image);
  const auto run = [&](const char* format) {
    const std::string copy = dir.Write("copy.spr", image);  // the same bytes in another file
    return RunLs({format, big}, {[&] {
                   return std::filesystem::rename(copy, big),
                          std::make_unique<TightFile>(kAll, kAll);
                 }});
  };
  const auto [status, table, error] = run("--format=table");
  const auto [jsonStatus, json, jsonError] = run("--format=json");
  EXPECT_EQ((std::tuple{status, jsonStatus, error}),
            (std::tuple{1, 1, "trovanta-ls: " + big + ": BIG.SPR changed while it was listed.\n"}));
  EXPECT_NE(table.find("\n4096    904 records not listed\n\n"), std::string::npos) << table;
  EXPECT_TRUE(json.ends_with(
      R"(,{"number":4096,"kind":"not_listed","count":904,"name":null,"method":null,)"
      R"("compressed":null,"stored_size":null,"uncompressed_size":null,"ratio_permille":null}],)"
      R"("totals":{"uncompressed":0,"compressed":0,"any_compressed":false,)"
      R"("saving_permille":null},"error":{"kind":"changed","message":"BIG.SPR changed while it )"
      "was listed.\"}}\n"))
      << json;
}

}  // namespace

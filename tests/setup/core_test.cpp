// The setup run and its parts without a platform, over a fake system whose settings file is a
// replacing file on a disk in memory.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "block_output.h"
#include "code_position.h"
#include "failure_report.h"
#include "replacing_file.h"
#include "setup_fixtures.h"
#include "setup_run.h"

namespace setwright {
namespace {

using testing::kBanner;
using testing::kOldSettings;
using testing::kSettingsFile;
using Files = std::map<std::string, std::string>;

// Output operations (console writes, settings file creation, writes and close) count from 1 in
// the order made; number `failingCall` fails with `failingCode`. The disk has room for `room`
// bytes of new file; the file operation named `failing` fails with `failingCode`.
class FakeSystem final : public SetupPlatform, public FileOperations {
 public:
  std::int32_t WriteStandardOutput(std::string_view bytes) override {
    if (Fails()) {
      return failingCode;
    }
    console.append(bytes);
    return 0;
  }
  std::int32_t ReadCurrentDirectory(std::string& directory) override {
    directory = "C:\\Games\\Gorblunk";
    return directoryError;
  }
  std::string ReadSystemRoot() override {
    ++registryReads;
    return systemRoot();
  }
  std::int32_t CreateSettingsFile(const std::string& path) override {
    return Fails() ? failingCode : settings_.Create(path, path + ".new");
  }
  std::int32_t WriteSettingsFile(std::string_view bytes) override {
    return Fails() ? failingCode : settings_.Write(bytes);
  }
  std::int32_t CloseSettingsFile() override { return Fails() ? failingCode : settings_.Close(); }
  void DiscardSettingsFile() override { settings_.Discard(); }

  std::int32_t CheckWritable(const std::string&) override { return Fail("check"); }
  std::int32_t Create(const std::string& path) override {
    files[path].clear();
    open = path;
    return 0;
  }
  std::int32_t Write(const char* data, std::size_t size) override {
    const std::size_t fits = std::min(size, room - stored);
    files.at(*open).append(data, fits);
    stored += fits;
    return fits < size ? 112 : 0;
  }
  std::int32_t Sync() override { return Fail("sync"); }
  std::int32_t Close() override {
    open.reset();
    return Fail("close");
  }
  std::int32_t Rename(const std::string& from, const std::string& to) override {
    if (Fail("rename") == 0) {
      files[to] = files.at(from);
      files.erase(from);
    }
    return Fail("rename");
  }
  void Remove(const std::string& path) override { files.erase(path); }

  int failingCall = 0;
  std::int32_t failingCode = 0;
  std::string failing;
  std::size_t room = SIZE_MAX;
  std::int32_t directoryError = 0;
  std::function<std::string()> systemRoot = [] { return std::string("C:\\WIN"); };
  int calls = 0;
  int registryReads = 0;
  std::size_t stored = 0;
  std::string console;
  Files files = {{"C:\\WIN\\Gorblunk.Ini", kOldSettings}};
  std::optional<std::string> open;

 private:
  bool Fails() { return ++calls == failingCall; }
  std::int32_t Fail(const std::string& operation) const {
    return operation == failing ? failingCode : 0;
  }

  ReplacingFile settings_{*this};
};

const Files kUntouched = {{"C:\\WIN\\Gorblunk.Ini", kOldSettings}};

std::string InOutReport(const std::string& position, const std::string& message) {
  return "Exception EInOutError in module Setwright at " + position + ".\n" + message + ".\r\n";
}

TEST(SetupRun, PrintsTheBannerAndReplacesTheSettingsFile) {
  FakeSystem system;
  EXPECT_EQ(RunSetup(system, "Setwright"), 0);
  EXPECT_EQ(system.console, kBanner);
  EXPECT_EQ(system.files, (Files{{"C:\\WIN\\Gorblunk.Ini", kSettingsFile}}));
  EXPECT_EQ(system.calls, 7 + 1 + 24 + 1);
  EXPECT_FALSE(system.open);
}

// Every step with an I/O check fails in turn: banner lines, creation, settings lines, close.
TEST(SetupRun, StopsAtEveryFailingStepWithItsReportAndKeepsTheEarlierFile) {
  const char* const positions[] = {
      "00401010", "00401020", "00401030", "00401040", "00401050", "00401060", "00401070",
      "00403000", "00403010", "00403020", "00403030", "00403040", "00403050", "00403060",
      "00403070", "00403080", "00403090", "004030A0", "004030B0", "004030C0", "004030D0",
      "004030E0", "004030F0", "00403100", "00403110", "00403120", "00403130", "00403140",
      "00403150", "00403160", "00403170", "00403180", "00403200"};
  std::string banner;  // the banner lines before the failing one
  for (int call = 1; call <= 33; ++call) {
    SCOPED_TRACE("call " + std::to_string(call));
    if (call > 1 && call <= 8) {
      const std::string text = kBanner;
      banner = text.substr(0, text.find("\r\n", banner.size()) + 2);
    }
    FakeSystem system;
    system.failingCall = call;
    system.failingCode = 5;
    EXPECT_EQ(RunSetup(system, "Setwright"), 1);
    EXPECT_EQ(system.console, banner + InOutReport(positions[call - 1], "File access denied"));
    EXPECT_EQ(system.calls, call + 1) << "only the report follows the failure";
    EXPECT_EQ(system.files, kUntouched);
    EXPECT_FALSE(system.open);
  }
}

TEST(FailureReport, NamesTheCodeOrGivesItInDecimalAndEndsWithOneFullStop) {
  using Row = std::pair<std::int32_t, const char*>;
  const Row messages[] = {Row{2, "File not found"},
                          Row{3, "Invalid filename"},
                          Row{4, "Too many open files"},
                          Row{5, "File access denied"},
                          Row{100, "Read beyond end of file"},
                          Row{101, "Disk full"},
                          Row{106, "Invalid numeric input"},
                          Row{1, "I/O error 1"},
                          Row{112, "I/O error 112"},
                          Row{-7, "I/O error -7"}};
  for (const auto& [code, message] : messages) {
    EXPECT_EQ(EInOutError(code, 0).Message(), message);
  }
  EXPECT_EQ(FailureReportText(ERegistryException("Ends with a stop.", 0xABCDEF), "S.exe"),
            "Exception ERegistryException in module S.exe at 00ABCDEF.\nEnds with a stop.\r\n");
  EXPECT_EQ(FailureReportText(ERegistryException("", 0xFFFFFFFF), "S"),
            "Exception ERegistryException in module S at FFFFFFFF.\n\r\n");
}

TEST(SetupRun, ReportsAFullDiskAtTheLineThatFillsABlockOrAtTheClose) {
  // 397 bytes: blocks of 128 fill during lines 5, 13 and 24; the last 13 bytes go at the close.
  using Row = std::pair<std::size_t, const char*>;
  const Row cases[] = {Row{0, "00403050"},   Row{1, "00403050"},   Row{127, "00403050"},
                       Row{128, "004030D0"}, Row{129, "004030D0"}, Row{255, "004030D0"},
                       Row{256, "00403180"}, Row{383, "00403180"}, Row{384, "00403200"},
                       Row{396, "00403200"}};
  for (const auto& [room, position] : cases) {
    SCOPED_TRACE("room " + std::to_string(room));
    FakeSystem system;
    system.room = room;
    EXPECT_EQ(RunSetup(system, "Setwright"), 1);
    EXPECT_EQ(system.console, kBanner + InOutReport(position, "I/O error 112"));
    EXPECT_EQ(system.stored, room) << "every byte that fits is written";
    EXPECT_EQ(system.files, kUntouched);
    EXPECT_FALSE(system.open);
  }
}

TEST(SetupRun, ReportsAFailingCheckSyncCloseOrRenameAndKeepsTheEarlierFile) {
  using Row = std::tuple<const char*, std::int32_t, const char*, const char*>;
  const Row cases[] = {Row{"check", 5, "00403000", "File access denied"},
                       Row{"sync", 1117, "00403200", "I/O error 1117"},
                       Row{"close", 112, "00403200", "I/O error 112"},
                       Row{"rename", 3, "00403200", "Invalid filename"}};
  for (const auto& [operation, code, position, message] : cases) {
    FakeSystem system;
    system.failing = operation;
    system.failingCode = code;
    EXPECT_EQ(RunSetup(system, "Setwright"), 1);
    EXPECT_EQ(system.console, kBanner + InOutReport(position, message));
    EXPECT_EQ(system.files, kUntouched);
    EXPECT_FALSE(system.open);
  }
}

TEST(SetupRun, ReportsTheCurrentDirectoryOrTheRegistryBeforeCreatingAFile) {
  FakeSystem directory;
  directory.directoryError = 206;
  EXPECT_EQ(RunSetup(directory, "Setwright"), 1);
  EXPECT_EQ(directory.console, kBanner + InOutReport("00402000", "I/O error 206"));
  EXPECT_EQ(directory.registryReads, 0);
  FakeSystem registry;
  registry.systemRoot = []() -> std::string {
    throw ERegistryException("Failed to get data for 'SystemRoot'", position::kRegistryData);
  };
  EXPECT_EQ(RunSetup(registry, "Setwright.exe"), 1);
  EXPECT_EQ(registry.console, kBanner + std::string("Exception ERegistryException in module "
                                                    "Setwright.exe at 00402110.\nFailed to get "
                                                    "data for 'SystemRoot'.\r\n"));
  EXPECT_EQ(registry.calls, 8);
}

TEST(SetupRun, PutsTheSettingsFileInTheWindowsDirectoryAsStoredOrRefusesALongPath) {
  const std::string wide(243, 'w');  // C:\ + 243 + \Gorblunk.Ini: 259 characters
  using Row = std::pair<std::string, std::string>;
  const Row cases[] = {Row{"C:\\WIN\\", "C:\\WIN\\\\Gorblunk.Ini"}, Row{"", "\\Gorblunk.Ini"},
                       Row{"%SystemRoot%", "%SystemRoot%\\Gorblunk.Ini"},
                       Row{"C:\\" + wide, "C:\\" + wide + "\\Gorblunk.Ini"},
                       Row{"C:\\" + wide + "w", ""}};
  for (const auto& [windowsDirectory, path] : cases) {
    FakeSystem system;
    system.systemRoot = [&] { return windowsDirectory; };
    system.files.clear();
    RunSetup(system, "Setwright");
    EXPECT_EQ(system.files, (path.empty() ? Files{} : Files{{path, kSettingsFile}}));
    if (path.empty()) {
      EXPECT_EQ(system.console, kBanner + InOutReport("00403000", "Invalid filename"));
      EXPECT_EQ(system.calls, 8) << "nothing was created";
    }
  }
}

TEST(BlockOutput, WritesOutWholeBlocksWhenFullOrEachCallAndTheRestOnFlush) {
  std::vector<std::string> writeOuts;
  const auto sink = [&](const char* data, std::size_t size) {
    writeOuts.emplace_back(data, size);
    return writeOuts.size() == 2 ? 112 : 0;
  };
  BlockOutput output(sink, BlockOutput::Mode::kWhenFull);
  std::vector<std::int32_t> codes;
  for (int call = 0; call < 10; ++call) {
    codes.push_back(output.Write(std::string(30, 'a')));  // blocks fill in calls 5 and 9
  }
  EXPECT_EQ(codes, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 112, 0}));
  // The failing call's last 14 bytes were dropped: 30 + 300 bytes, two more blocks and 74.
  EXPECT_EQ(output.Write(std::string(300, 'b')), 0);
  EXPECT_EQ(output.Flush(), 0);
  EXPECT_EQ(output.Flush(), 0);
  BlockOutput lines(sink, BlockOutput::Mode::kAtEachCall);
  EXPECT_EQ(lines.Write("line one\r\n"), 0);
  EXPECT_EQ(lines.Write("two\r\n"), 0);
  EXPECT_EQ(writeOuts, (std::vector<std::string>{std::string(128, 'a'), std::string(128, 'a'),
                                                 std::string(30, 'a') + std::string(98, 'b'),
                                                 std::string(128, 'b'), std::string(74, 'b'),
                                                 "line one\r\n", "two\r\n"}));
}

}  // namespace
}  // namespace setwright

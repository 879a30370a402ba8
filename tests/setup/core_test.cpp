// The setup run and its parts without a platform, over a fake platform whose settings file is a
// replacing file in memory.
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
#include "system_root.h"

namespace setwright {
namespace {

using testing::kBanner;
using testing::kOldSettings;
using testing::kSettingsFile;
using Files = std::map<std::string, std::string>;

constexpr char kSettingsPath[] = "C:\\WIN\\Gorblunk.Ini";

// A disk with room for `room` bytes of new file; `failing` names an operation that fails.
class MemoryFiles final : public FileOperations {
 public:
  std::int32_t CheckWritable(const std::string&) override { return Fail("check"); }
  std::int32_t Create(const std::string& path) override {
    open = path;
    files[path].clear();
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
    if (const std::int32_t code = Fail("rename"); code != 0) {
      return code;
    }
    files[to] = files.at(from);
    files.erase(from);
    return 0;
  }
  void Remove(const std::string& path) override { files.erase(path); }

  Files files = {{kSettingsPath, kOldSettings}};
  std::optional<std::string> open;
  std::size_t room = SIZE_MAX;
  std::size_t stored = 0;
  std::string failing;
  std::int32_t failingCode = 0;

 private:
  std::int32_t Fail(const std::string& operation) const {
    return operation == failing ? failingCode : 0;
  }
};

// Output operations (console writes, settings file creation, writes and close) are counted from
// 1 in the order made; the one numbered `failingCall` fails with `failingCode`.
class FakePlatform final : public SetupPlatform {
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

  int failingCall = 0;
  std::int32_t failingCode = 0;
  std::int32_t directoryError = 0;
  std::function<std::string()> systemRoot = [] { return std::string("C:\\WIN"); };
  int registryReads = 0;
  int calls = 0;
  std::string console;
  MemoryFiles disk;

 private:
  bool Fails() { return ++calls == failingCall; }

  ReplacingFile settings_{disk};
};

std::string InOutReport(const std::string& position, const std::string& message) {
  return "Exception EInOutError in module Setwright at " + position + ".\n" + message + ".\r\n";
}

// The first `count` CR LF lines of `text`.
std::string FirstLines(const std::string& text, int count) {
  std::size_t end = 0;
  for (int line = 0; line < count; ++line) {
    end = text.find("\r\n", end) + 2;
  }
  return text.substr(0, end);
}

TEST(SetupRun, PrintsTheBannerAndReplacesTheSettingsFile) {
  FakePlatform platform;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 0);
  EXPECT_EQ(platform.console, kBanner);
  EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kSettingsFile}}));
  EXPECT_EQ(platform.calls, 7 + 1 + 24 + 1);
  EXPECT_FALSE(platform.disk.open);
}

struct StepCase {
  int call;  // the failing output operation, from 1
  const char* position;
  std::int32_t code;
  const char* message;
};

// Every step with an I/O check fails once; the codes take turns through the message table.
TEST(SetupRun, StopsAtEveryFailingStepWithItsReportAndKeepsTheEarlierFile) {
  const StepCase cases[] = {
      {1, "00401010", 2, "File not found"},
      {2, "00401020", 3, "Invalid filename"},
      {3, "00401030", 4, "Too many open files"},
      {4, "00401040", 5, "File access denied"},
      {5, "00401050", 100, "Read beyond end of file"},
      {6, "00401060", 101, "Disk full"},
      {7, "00401070", 106, "Invalid numeric input"},
      {8, "00403000", 32, "I/O error 32"},
      {9, "00403010", 112, "I/O error 112"},
      {10, "00403020", 1117, "I/O error 1117"},
      {11, "00403030", 5, "File access denied"},
      {12, "00403040", 5, "File access denied"},
      {13, "00403050", 5, "File access denied"},
      {14, "00403060", 5, "File access denied"},
      {15, "00403070", 5, "File access denied"},
      {16, "00403080", 5, "File access denied"},
      {17, "00403090", 5, "File access denied"},
      {18, "004030A0", 5, "File access denied"},
      {19, "004030B0", 5, "File access denied"},
      {20, "004030C0", 5, "File access denied"},
      {21, "004030D0", 5, "File access denied"},
      {22, "004030E0", 5, "File access denied"},
      {23, "004030F0", 5, "File access denied"},
      {24, "00403100", 5, "File access denied"},
      {25, "00403110", 5, "File access denied"},
      {26, "00403120", 5, "File access denied"},
      {27, "00403130", 5, "File access denied"},
      {28, "00403140", 5, "File access denied"},
      {29, "00403150", 5, "File access denied"},
      {30, "00403160", 5, "File access denied"},
      {31, "00403170", 5, "File access denied"},
      {32, "00403180", 5, "File access denied"},
      {33, "00403200", 5, "File access denied"},
  };
  for (const StepCase& step : cases) {
    SCOPED_TRACE("call " + std::to_string(step.call));
    FakePlatform platform;
    platform.failingCall = step.call;
    platform.failingCode = step.code;
    EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
    EXPECT_EQ(platform.console, FirstLines(kBanner, std::min(step.call - 1, 7)) +
                                    InOutReport(step.position, step.message));
    EXPECT_EQ(platform.calls, step.call + 1) << "only the report follows the failure";
    EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kOldSettings}}));
    EXPECT_FALSE(platform.disk.open);
  }
}

TEST(SetupRun, ReportsAFullDiskAtTheLineThatFillsABlockOrAtTheClose) {
  // 397 bytes: blocks of 128 fill during lines 5, 13 and 24; the last 13 bytes go at the close.
  const std::pair<std::size_t, const char*> cases[] = {
      {0, "00403050"},   {1, "00403050"},   {127, "00403050"}, {128, "004030D0"},
      {129, "004030D0"}, {255, "004030D0"}, {256, "00403180"}, {383, "00403180"},
      {384, "00403200"}, {396, "00403200"}, {397, nullptr}};
  for (const auto& [room, position] : cases) {
    SCOPED_TRACE("room " + std::to_string(room));
    FakePlatform platform;
    platform.disk.room = room;
    const int status = RunSetup(platform, "Setwright");
    if (position == nullptr) {
      EXPECT_EQ(status, 0);
      EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kSettingsFile}}));
      continue;
    }
    EXPECT_EQ(status, 1);
    EXPECT_EQ(platform.console, kBanner + InOutReport(position, "I/O error 112"));
    EXPECT_EQ(platform.disk.stored, room) << "every byte that fits is written";
    EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kOldSettings}}));
    EXPECT_FALSE(platform.disk.open);
  }
}

TEST(SetupRun, ReportsAFailingCheckSyncCloseOrRenameAndKeepsTheEarlierFile) {
  const std::tuple<const char*, std::int32_t, const char*> cases[] = {
      {"check", 5, "00403000.\nFile access denied"},
      {"sync", 1117, "00403200.\nI/O error 1117"},
      {"close", 112, "00403200.\nI/O error 112"},
      {"rename", 3, "00403200.\nInvalid filename"}};
  for (const auto& [operation, code, report] : cases) {
    SCOPED_TRACE(operation);
    FakePlatform platform;
    platform.disk.failing = operation;
    platform.disk.failingCode = code;
    EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
    EXPECT_EQ(
        platform.console,
        kBanner + std::string("Exception EInOutError in module Setwright at ") + report + ".\r\n");
    EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kOldSettings}}));
    EXPECT_FALSE(platform.disk.open);
  }
}

TEST(SetupRun, ReportsTheCurrentDirectoryBeforeReadingTheRegistry) {
  FakePlatform platform;
  platform.directoryError = 206;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
  EXPECT_EQ(platform.console, kBanner + InOutReport("00402000", "I/O error 206"));
  EXPECT_EQ(platform.registryReads, 0);
}

TEST(SetupRun, ReportsARegistryFailureWithoutCreatingAFile) {
  FakePlatform platform;
  platform.systemRoot = []() -> std::string {
    throw ERegistryException("Failed to get data for 'SystemRoot'", position::kRegistryData);
  };
  EXPECT_EQ(RunSetup(platform, "Setwright.exe"), 1);
  EXPECT_EQ(platform.console,
            kBanner + std::string("Exception ERegistryException in module Setwright.exe "
                                  "at 00402110.\nFailed to get data for 'SystemRoot'.\r\n"));
  EXPECT_EQ(platform.calls, 8);
}

TEST(SetupRun, ExitsWithOneWhenStandardOutputFailsAtOnce) {
  FakePlatform platform;
  platform.failingCall = 1;
  platform.failingCode = 109;
  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);
  EXPECT_EQ(platform.disk.files, (Files{{kSettingsPath, kOldSettings}}));
}

TEST(SetupRun, PutsTheSettingsFileInTheWindowsDirectoryAsStoredOrRefusesALongPath) {
  const std::string wide(243, 'w');  // C:\ + 243 + \Gorblunk.Ini: 259 characters
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\WIN\\", "C:\\WIN\\\\Gorblunk.Ini"},
      {"", "\\Gorblunk.Ini"},
      {"%SystemRoot%", "%SystemRoot%\\Gorblunk.Ini"},
      {"C:\\" + wide, "C:\\" + wide + "\\Gorblunk.Ini"},
      {"C:\\" + wide + "w", ""}};
  for (const auto& [windowsDirectory, path] : cases) {
    SCOPED_TRACE(path);
    FakePlatform platform;
    platform.systemRoot = [&] { return windowsDirectory; };
    platform.disk.files.clear();
    const int status = RunSetup(platform, "Setwright");
    if (path.empty()) {
      EXPECT_EQ(status, 1);
      EXPECT_EQ(platform.console, kBanner + InOutReport("00403000", "Invalid filename"));
      EXPECT_EQ(platform.calls, 8) << "nothing was created";
    } else {
      EXPECT_EQ(platform.disk.files, (Files{{path, kSettingsFile}}));
    }
  }
}

TEST(FailureReport, NamesTheCodeOrGivesItInDecimalAndEndsWithOneFullStop) {
  EXPECT_EQ(InOutErrorMessage(1), "I/O error 1");
  EXPECT_EQ(InOutErrorMessage(-7), "I/O error -7");
  EXPECT_EQ(FailureReportText(ERegistryException("Ends with a stop.", 0xABCDEF), "S.exe"),
            "Exception ERegistryException in module S.exe at 00ABCDEF.\nEnds with a stop.\r\n");
  EXPECT_EQ(FailureReportText(ERegistryException("", 0xFFFFFFFF), "S"),
            "Exception ERegistryException in module S at FFFFFFFF.\n\r\n");
}

// Records each write-out; the one numbered `failAt` (from 1) fails with code 112.
struct Sink {
  std::vector<std::string> writeOuts;
  int failAt = 0;
  BlockOutput::WriteOut Function() {
    return [this](const char* data, std::size_t size) -> std::int32_t {
      writeOuts.emplace_back(data, size);
      return static_cast<int>(writeOuts.size()) == failAt ? 112 : 0;
    };
  }
};

TEST(BlockOutput, WritesOutWholeBlocksWhenFullAndTheRestOnFlush) {
  Sink sink;
  sink.failAt = 2;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kWhenFull);
  std::vector<std::int32_t> codes;
  for (int call = 0; call < 10; ++call) {
    codes.push_back(output.Write(std::string(30, 'a')));  // blocks fill in calls 5 and 9
  }
  EXPECT_EQ(codes, (std::vector<std::int32_t>{0, 0, 0, 0, 0, 0, 0, 0, 112, 0}));
  // The failing call's last 14 bytes were dropped: 30 + 300 bytes, two more blocks and 74.
  EXPECT_EQ(output.Write(std::string(300, 'b')), 0);
  EXPECT_EQ(output.Flush(), 0);
  EXPECT_EQ(output.Flush(), 0);
  std::vector<std::size_t> sizes;
  for (const std::string& writeOut : sink.writeOuts) {
    sizes.push_back(writeOut.size());
  }
  EXPECT_EQ(sizes, (std::vector<std::size_t>{128, 128, 128, 128, 74}));
}

TEST(BlockOutput, WritesOutAtTheEndOfEachCallForACharacterDevice) {
  Sink sink;
  BlockOutput output(sink.Function(), BlockOutput::Mode::kAtEachCall);
  EXPECT_EQ(output.Write("line one\r\n"), 0);
  EXPECT_EQ(output.Write("line two\r\n"), 0);
  EXPECT_EQ(sink.writeOuts, (std::vector<std::string>{"line one\r\n", "line two\r\n"}));
}

// A key that holds at most one value, SystemRoot, and records the calls made on it.
class FakeRegistryKey final : public RegistryKey {
 public:
  bool Open(const std::string& subKey) override {
    openedPath = subKey;
    return open_ = opens;
  }
  bool QuerySize(const std::string& name, std::uint32_t& type, std::uint32_t& size) override {
    if (!open_ || !value || name != "SystemRoot") {
      return false;
    }
    type = value->first;
    size = static_cast<std::uint32_t>(value->second.size());
    return true;
  }
  bool QueryData(const std::string& name, std::uint32_t& type, std::string& data) override {
    std::uint32_t size = 0;
    if (secondQueryFails || !QuerySize(name, type, size) || size != data.size()) {
      return false;
    }
    data = value->second;
    return true;
  }
  void Close() override {
    ++closes;
    open_ = false;
  }

  bool opens = true;
  std::optional<std::pair<std::uint32_t, std::string>> value;
  bool secondQueryFails = false;
  std::string openedPath;
  int closes = 0;

 private:
  bool open_ = false;
};

struct RootCase {
  bool opens;
  std::optional<std::pair<std::uint32_t, std::string>> value;
  bool secondQueryFails;
  const char* expected;  // the text, or the failure's message after "!"
};

TEST(SystemRoot, IsTheStringValueOrAFailureAndTheOpenKeyIsAlwaysClosed) {
  using V = std::pair<std::uint32_t, std::string>;
  const RootCase cases[] = {
      {true, V{1, std::string("C:\\WINNT\0", 9)}, false, "C:\\WINNT"},
      {true, V{1, "D:\\WIN"}, false, "D:\\WIN"},
      {true, V{1, std::string("C:\\A\0C:\\B\0", 10)}, false, "C:\\A"},
      {true, V{2, std::string("%WinDir%\0", 9)}, false, "%WinDir%"},
      {true, V{1, std::string(1, '\0')}, false, ""},
      {true, V{4, ""}, false, ""},
      {true, std::nullopt, false, ""},
      {false, V{1, "C:\\WIN"}, false, ""},
      {true, V{1, "C:\\WIN"}, true, "!Failed to get data for 'SystemRoot'"},
      {true, V{4, std::string("\1\0\0\0", 4)}, false, "!Invalid data type for 'SystemRoot'"},
      {true, V{3, "C:\\"}, false, "!Invalid data type for 'SystemRoot'"},
      {true, V{7, std::string("C:\\\0\0", 5)}, false, "!Invalid data type for 'SystemRoot'"},
      {true, V{0, "x"}, false, "!Invalid data type for 'SystemRoot'"}};
  for (const RootCase& root : cases) {
    SCOPED_TRACE(root.expected);
    FakeRegistryKey key;
    key.opens = root.opens;
    key.value = root.value;
    key.secondQueryFails = root.secondQueryFails;
    std::string outcome;
    try {
      outcome = ReadSystemRoot(key);
    } catch (const ERegistryException& failure) {
      outcome = "!" + failure.Message();
    }
    EXPECT_EQ(outcome, root.expected);
    EXPECT_EQ(key.openedPath, "Software\\Microsoft\\Windows\\CurrentVersion\\");
    EXPECT_EQ(key.closes, root.opens ? 1 : 0);
  }
}

}  // namespace
}  // namespace setwright

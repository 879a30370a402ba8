// Fault sweeps over the setup run: every checked output step failing with every kind of error
// code, and a disk that fills at every byte of the new settings file. Whatever fails, the run
// exits with 1 after the report for that failure, an earlier settings file stays as it was, and
// no new file is left behind.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <tuple>

#include "banner.h"
#include "fake_platform.h"
#include "platform_wine.h"
#include "settings_file.h"
#include "setup_run.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace setwright {
namespace {

using testing::FakePlatform;
using Operation = FakePlatform::Operation;

constexpr char kOldSettings[] = "[Gorblunk]\r\nLanguage=2\r\nVolume=12\r\nGameExe=D:\\OLD\r\n";

// Code positions as the report prints them, for each step with an I/O check.
constexpr const char* kBannerLinePositions[] = {"00401010", "00401020", "00401030", "00401040",
                                                "00401050", "00401060", "00401070"};
constexpr const char* kCreatePosition = "00403000";
constexpr const char* kSettingsLinePositions[] = {
    "00403010", "00403020", "00403030", "00403040", "00403050", "00403060", "00403070", "00403080",
    "00403090", "004030A0", "004030B0", "004030C0", "004030D0", "004030E0", "004030F0", "00403100",
    "00403110", "00403120", "00403130", "00403140", "00403150", "00403160", "00403170", "00403180"};
constexpr const char* kClosePosition = "00403200";

std::string Report(const std::string& position, const std::string& message) {
  return "Exception EInOutError in module Setwright at " + position + ".\n" + message + ".\r\n";
}

std::string FirstBannerLines(std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    text.append(BannerLines()[i]);
    text.append("\r\n");
  }
  return text;
}

// ---------------------------------------------------------------------------------------------
// Every step with an I/O check, failing with every code of the message table and a few others.

struct Step {
  std::string name;
  Operation operation;
  int occurrence;  // which call of `operation`, from 1
  std::string position;
};

void PrintTo(const Step& step, std::ostream* out) {
  *out << step.name;
}

std::vector<Step> Steps() {
  std::vector<Step> steps;
  for (int line = 1; line <= 7; ++line) {
    steps.push_back({"BannerLine" + std::to_string(line), Operation::kConsoleWrite, line,
                     kBannerLinePositions[line - 1]});
  }
  steps.push_back({"Create", Operation::kCreate, 1, kCreatePosition});
  for (int line = 1; line <= 24; ++line) {
    steps.push_back({"SettingsLine" + std::to_string(line), Operation::kFileWrite, line,
                     kSettingsLinePositions[line - 1]});
  }
  steps.push_back({"Close", Operation::kClose, 1, kClosePosition});
  return steps;
}

struct Code {
  std::int32_t code;
  const char* message;
};

void PrintTo(const Code& code, std::ostream* out) {
  *out << "code " << code.code;
}

constexpr Code kCodes[] = {
    {2, "File not found"},
    {3, "Invalid filename"},
    {4, "Too many open files"},
    {5, "File access denied"},
    {100, "Read beyond end of file"},
    {101, "Disk full"},
    {106, "Invalid numeric input"},
    {32, "I/O error 32"},
    {112, "I/O error 112"},
    {1117, "I/O error 1117"},
};

const std::map<Operation, std::string> kCallNames = {{Operation::kConsoleWrite, "console"},
                                                     {Operation::kCreate, "create"},
                                                     {Operation::kFileWrite, "write"},
                                                     {Operation::kClose, "close"}};

class EveryStepWithEveryCode : public ::testing::TestWithParam<std::tuple<Step, Code>> {};

TEST_P(EveryStepWithEveryCode, StopsWithItsReportAndKeepsTheEarlierSettingsFile) {
  const auto& [step, code] = GetParam();
  constexpr char kPath[] = "C:\\WINDOWS\\Gorblunk.Ini";
  FakePlatform platform;
  platform.files[kPath] = kOldSettings;
  platform.fault = FakePlatform::Fault{step.operation, step.occurrence, code.code};

  EXPECT_EQ(RunSetup(platform, "Setwright"), 1);

  const bool inBanner = step.operation == Operation::kConsoleWrite;
  const std::size_t linesShown = inBanner ? static_cast<std::size_t>(step.occurrence - 1) : 7;
  EXPECT_EQ(platform.console, FirstBannerLines(linesShown) + Report(step.position, code.message));
  EXPECT_EQ(platform.files, (std::map<std::string, std::string>{{kPath, kOldSettings}}));
  EXPECT_FALSE(platform.newFilePath.has_value()) << "the new file was left behind";
  // The run stops at the failing call: only the removal of a new file and the report follow.
  std::vector<std::string> tail = {kCallNames.at(step.operation)};
  if (step.operation == Operation::kFileWrite || step.operation == Operation::kClose) {
    tail.emplace_back("discard");
  }
  tail.emplace_back("console");
  ASSERT_GE(platform.calls.size(), tail.size());
  EXPECT_EQ(std::vector<std::string>(platform.calls.end() - static_cast<long>(tail.size()),
                                     platform.calls.end()),
            tail);
  EXPECT_EQ(std::count(platform.calls.begin(), platform.calls.end(), kCallNames.at(step.operation)),
            step.occurrence + (inBanner ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Sweep, EveryStepWithEveryCode,
                         ::testing::Combine(::testing::ValuesIn(Steps()),
                                            ::testing::ValuesIn(kCodes)),
                         [](const auto& info) {
                           return std::get<0>(info.param).name + "_Code" +
                                  std::to_string(std::get<1>(info.param).code);
                         });

// ---------------------------------------------------------------------------------------------
// The Wine platform layer on a real folder, with a full disk or a failing call under it.

// A disk with room for `room` bytes of the settings file. A write stores what still fits; once
// nothing fits it fails with `fullErrno`, the way Linux fails a write on a full disk.
struct Disk {
  std::size_t room = SIZE_MAX;
  int fullErrno = ENOSPC;
  std::size_t stored = 0;
};

SettingsFileCalls CallsOn(Disk& disk) {
  SettingsFileCalls calls;
  calls.write = [&disk](int descriptor, const void* data, std::size_t size) -> ssize_t {
    if (disk.stored == disk.room) {
      errno = disk.fullErrno;
      return -1;
    }
    const ssize_t written = ::write(descriptor, data, std::min(size, disk.room - disk.stored));
    if (written > 0) {
      disk.stored += static_cast<std::size_t>(written);
    }
    return written;
  };
  return calls;
}

// The Wine platform layer with standard output kept in a string.
class CapturedConsole final : public SetupPlatform {
 public:
  explicit CapturedConsole(WinePlatform& platform) : platform_(platform) {}

  std::int32_t WriteStandardOutput(std::string_view bytes) override {
    console.append(bytes);
    return 0;
  }
  std::int32_t ReadCurrentDirectory(std::string& directory) override {
    return platform_.ReadCurrentDirectory(directory);
  }
  std::string ReadSystemRoot() override { return platform_.ReadSystemRoot(); }
  std::int32_t CreateSettingsFile(const std::string& path) override {
    return platform_.CreateSettingsFile(path);
  }
  std::int32_t WriteSettingsFile(std::string_view bytes) override {
    return platform_.WriteSettingsFile(bytes);
  }
  std::int32_t CloseSettingsFile() override { return platform_.CloseSettingsFile(); }
  void DiscardSettingsFile() override { platform_.DiscardSettingsFile(); }

  std::string console;

 private:
  WinePlatform& platform_;
};

std::size_t OpenDescriptors() {
  return static_cast<std::size_t>(
      std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}

struct Outcome {
  int exitStatus = -1;
  std::string console;
};

// A Wine prefix in a temporary folder: drive c: with the game in C:\Games\<name> and the Windows
// directory C:\WIN, which the registry names and which holds an earlier settings file.
class WineFolder {
 public:
  explicit WineFolder(const std::string& gameFolder) : game_(driveC_ / "Games" / gameFolder) {
    fs::create_directories(prefix_ / "dosdevices");
    fs::create_symlink("../drive_c", prefix_ / "dosdevices" / "c:");
    fs::create_directories(game_);
    fs::create_directories(win_);
    testing::WriteFile(prefix_ / "system.reg",
                       testing::HiveWithValues("\"SystemRoot\"=\"C:\\\\WIN\"\n"));
  }

  fs::path SettingsFile() const { return win_ / "Gorblunk.Ini"; }

  // Back to the first state: the earlier settings file alone in the Windows directory.
  void Reset() {
    for (const auto& entry : fs::directory_iterator(win_)) {
      if (entry.path() != SettingsFile()) {
        fs::remove_all(entry.path());
      }
    }
    if (testing::ReadFile(SettingsFile()) != kOldSettings) {
      fs::remove_all(SettingsFile());
      testing::WriteFile(SettingsFile(), kOldSettings);
    }
    oldInode_ = Inode(SettingsFile());
  }

  // Runs the setup from the game directory over the Wine platform layer with `calls`.
  Outcome Run(SettingsFileCalls calls) {
    const testing::WorkingDirectory inGame(game_);
    const std::set<fs::path> before = DriveContents();
    const std::size_t descriptors = OpenDescriptors();
    Outcome outcome;
    {
      WinePlatform platform(prefix_, std::move(calls));
      CapturedConsole captured(platform);
      outcome.exitStatus = RunSetup(captured, "Setwright");
      outcome.console = std::move(captured.console);
      // Checked while the platform still lives: the run itself cleans up, not the destructor.
      EXPECT_EQ(OpenDescriptors(), descriptors) << "a descriptor was left open";
      EXPECT_EQ(DriveContents(), before) << "a file was left behind";
    }
    return outcome;
  }

  // The earlier settings file is the same file, with the same bytes.
  void ExpectOldSettingsFileUntouched() const {
    EXPECT_EQ(testing::ReadFile(SettingsFile()), kOldSettings);
    EXPECT_EQ(Inode(SettingsFile()), oldInode_) << "the settings file was replaced";
  }

 private:
  static ino_t Inode(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
  }

  std::set<fs::path> DriveContents() const {
    std::set<fs::path> paths;
    for (const auto& entry : fs::recursive_directory_iterator(driveC_)) {
      paths.insert(entry.path());
    }
    return paths;
  }

  testing::TempFolder folder_;
  fs::path prefix_ = folder_.Path() / "prefix";
  fs::path driveC_ = prefix_ / "drive_c";
  fs::path game_;
  fs::path win_ = driveC_ / "WIN";
  ino_t oldInode_ = 0;
};

// The cases of a suite share one folder per game folder, made once (a fresh prefix for each of
// well over a thousand cases would cost most of the sweep's time) and set back before each case.
class OnWineFolder : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { folders_.clear(); }

  static WineFolder& Folder(const std::string& gameFolder) {
    std::unique_ptr<WineFolder>& folder = folders_[gameFolder];
    if (folder == nullptr) {
      folder = std::make_unique<WineFolder>(gameFolder);
    }
    folder->Reset();
    return *folder;
  }

 private:
  static inline std::map<std::string, std::unique_ptr<WineFolder>> folders_;
};

std::string SettingsBytes(const std::string& gameDirectory) {
  std::string bytes;
  for (const std::string& line : SettingsFileLines(gameDirectory)) {
    bytes.append(line);
    bytes.append("\r\n");
  }
  return bytes;
}

// Where a write-out that cannot store byte `offset` is reported: at the line during which the
// 128-byte buffer holding it filled, or at the close for the last, partly filled buffer.
std::string PositionOfWriteOut(const std::string& gameDirectory, std::size_t offset) {
  const std::size_t blockEnd = (offset / 128 + 1) * 128;
  std::size_t end = 0;
  int line = 0;
  for (const std::string& text : SettingsFileLines(gameDirectory)) {
    end += text.size() + 2;
    ++line;
    if (end >= blockEnd) {
      return kSettingsLinePositions[line - 1];
    }
  }
  return kClosePosition;
}

struct FullDiskCase {
  std::string gameFolder;  // in C:\Games
  std::size_t room;        // bytes of the new settings file that fit on the disk
};

void PrintTo(const FullDiskCase& fullDisk, std::ostream* out) {
  *out << "room for " << fullDisk.room << " bytes, game in " << fullDisk.gameFolder;
}

class DiskFullAtEveryByte : public OnWineFolder,
                            public ::testing::WithParamInterface<FullDiskCase> {};

TEST_P(DiskFullAtEveryByte, FailsWithDiskFullAndKeepsTheEarlierSettingsFile) {
  const std::string gameDirectory = "C:\\Games\\" + GetParam().gameFolder;
  const std::string newSettings = SettingsBytes(gameDirectory);
  WineFolder& folder = Folder(GetParam().gameFolder);
  Disk disk{.room = GetParam().room};

  const Outcome outcome = folder.Run(CallsOn(disk));

  if (GetParam().room < newSettings.size()) {
    EXPECT_EQ(outcome.exitStatus, 1);
    EXPECT_EQ(outcome.console,
              testing::BannerText() +
                  Report(PositionOfWriteOut(gameDirectory, GetParam().room), "I/O error 112"));
    EXPECT_EQ(disk.stored, GetParam().room) << "the disk did not fill where it should";
    folder.ExpectOldSettingsFileUntouched();
  } else {
    // Room for every byte: the new settings file takes the earlier one's place.
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(outcome.console, testing::BannerText());
    EXPECT_EQ(testing::ReadFile(folder.SettingsFile()), newSettings);
  }
}

std::vector<FullDiskCase> FullDiskCases() {
  // 17 characters give a 397-byte file whose last 13 bytes are written out at the close; 98 give
  // 640 bytes, five whole blocks, the last written out by line 24 and nothing left for the close.
  const std::string folders[] = {"GORBLUNK", std::string(89, 'g')};
  std::vector<FullDiskCase> cases;
  for (const std::string& folder : folders) {
    const std::size_t size = SettingsBytes("C:\\Games\\" + folder).size();
    for (std::size_t room = 0; room <= size; ++room) {
      cases.push_back({folder, room});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Sweep, DiskFullAtEveryByte, ::testing::ValuesIn(FullDiskCases()),
                         [](const auto& info) {
                           const std::size_t size =
                               SettingsBytes("C:\\Games\\" + info.param.gameFolder).size();
                           return "File" + std::to_string(size) + "_Room" +
                                  std::to_string(info.param.room);
                         });

TEST(FullDiskSweep, EndsOnceInAPartlyFilledBufferAndOnceOnAWholeBlock) {
  EXPECT_EQ(SettingsBytes("C:\\Games\\GORBLUNK").size() % 128, 13u);
  EXPECT_EQ(SettingsBytes("C:\\Games\\" + std::string(89, 'g')).size() % 128, 0u);
}

// One of the calls of the close fails: the last write-out, fsync, close or rename.
enum class CloseCall { kWriteOut, kFsync, kClose, kRename };

struct CloseCase {
  const char* name;
  CloseCall call;
  int errnoValue;
  const char* message;
};

void PrintTo(const CloseCase& closeCase, std::ostream* out) {
  *out << closeCase.name;
}

class FailingClose : public OnWineFolder, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(FailingClose, IsReportedAtTheCloseAndKeepsTheEarlierSettingsFile) {
  const std::string gameFolder = "GORBLUNK";
  const std::size_t size = SettingsBytes("C:\\Games\\" + gameFolder).size();
  WineFolder& folder = Folder(gameFolder);
  Disk disk;
  int failures = 0;
  if (GetParam().call == CloseCall::kWriteOut) {
    disk.room = size - size % 128;  // the whole blocks fit, the rest written out at the close not
    disk.fullErrno = GetParam().errnoValue;
  }
  SettingsFileCalls calls = CallsOn(disk);
  const int errnoValue = GetParam().errnoValue;
  switch (GetParam().call) {
    case CloseCall::kWriteOut:
      break;
    case CloseCall::kFsync:
      calls.fsync = [&](int) {
        ++failures;
        errno = errnoValue;
        return -1;
      };
      break;
    case CloseCall::kClose:
      // Linux releases the descriptor even when close reports an error.
      calls.close = [&](int descriptor) {
        ++failures;
        ::close(descriptor);
        errno = errnoValue;
        return -1;
      };
      break;
    case CloseCall::kRename:
      calls.rename = [&](const char*, const char*) {
        ++failures;
        errno = errnoValue;
        return -1;
      };
      break;
  }

  const Outcome outcome = folder.Run(std::move(calls));

  EXPECT_EQ(outcome.exitStatus, 1);
  EXPECT_EQ(outcome.console, testing::BannerText() + Report(kClosePosition, GetParam().message));
  if (GetParam().call == CloseCall::kWriteOut) {
    EXPECT_EQ(disk.stored, disk.room);
  } else {
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(disk.stored, size);
  }
  folder.ExpectOldSettingsFileUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Sweep, FailingClose,
    ::testing::Values(
        CloseCase{"WriteOutNoSpace", CloseCall::kWriteOut, ENOSPC, "I/O error 112"},
        CloseCase{"WriteOutQuota", CloseCall::kWriteOut, EDQUOT, "I/O error 112"},
        CloseCase{"WriteOutIo", CloseCall::kWriteOut, EIO, "I/O error 1117"},
        CloseCase{"WriteOutTooBig", CloseCall::kWriteOut, EFBIG, "I/O error 31"},
        CloseCase{"FsyncIo", CloseCall::kFsync, EIO, "I/O error 1117"},
        CloseCase{"FsyncNoSpace", CloseCall::kFsync, ENOSPC, "I/O error 112"},
        CloseCase{"FsyncQuota", CloseCall::kFsync, EDQUOT, "I/O error 112"},
        CloseCase{"CloseIo", CloseCall::kClose, EIO, "I/O error 1117"},
        CloseCase{"CloseNoSpace", CloseCall::kClose, ENOSPC, "I/O error 112"},
        CloseCase{"CloseQuota", CloseCall::kClose, EDQUOT, "I/O error 112"},
        CloseCase{"RenameDenied", CloseCall::kRename, EACCES, "File access denied"},
        CloseCase{"RenameNotPermitted", CloseCall::kRename, EPERM, "File access denied"},
        CloseCase{"RenameOntoDirectory", CloseCall::kRename, EISDIR, "File access denied"},
        CloseCase{"RenameFolderGone", CloseCall::kRename, ENOENT, "Invalid filename"},
        CloseCase{"RenameReadOnly", CloseCall::kRename, EROFS, "I/O error 19"},
        CloseCase{"RenameBusy", CloseCall::kRename, EBUSY, "I/O error 170"},
        CloseCase{"RenameNoSpace", CloseCall::kRename, ENOSPC, "I/O error 112"},
        CloseCase{"RenameQuota", CloseCall::kRename, EDQUOT, "I/O error 112"},
        CloseCase{"RenameIo", CloseCall::kRename, EIO, "I/O error 1117"},
        CloseCase{"RenameCrossDevice", CloseCall::kRename, EXDEV, "I/O error 31"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace setwright

#include "setup/core/setup_run.h"

#include <string>

#include "setup/core/banner.h"
#include "setup/core/code_position.h"
#include "setup/core/error_codes.h"
#include "setup/core/failure_report.h"
#include "setup/core/settings_file.h"

namespace setwright {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string Line(std::string_view text) {
  std::string line(text);
  line.append(kLineEnd);
  return line;
}

void WriteBanner(SetupPlatform& platform) {
  const auto& lines = BannerLines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    CheckInOut(platform.WriteStandardOutput(Line(lines[i])),
               position::BannerLine(static_cast<int>(i) + 1));
  }
}

void WriteSettings(SetupPlatform& platform, const std::string& gameDirectory) {
  const auto lines = SettingsFileLines(gameDirectory);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    CheckInOut(platform.WriteSettingsFile(Line(lines[i])),
               position::SettingsLine(static_cast<int>(i) + 1));
  }
}

}  // namespace

int RunSetup(SetupPlatform& platform, std::string_view moduleName) {
  bool settingsFileCreated = false;
  try {
    WriteBanner(platform);
    std::string gameDirectory;
    // An unusable game directory would put broken paths into three lines: stop instead.
    CheckInOut(platform.ReadCurrentDirectory(gameDirectory), position::kCurrentDirectory);
    const std::string path = SettingsFilePath(platform.ReadSystemRoot());
    // A cut path would name another file: refuse it before anything is created.
    if (path.size() > kMaxSettingsPathLength) {
      throw EInOutError(kErrorPathNotFound, position::kCreate);
    }
    CheckInOut(platform.CreateSettingsFile(path), position::kCreate);
    settingsFileCreated = true;
    WriteSettings(platform, gameDirectory);
    CheckInOut(platform.CloseSettingsFile(), position::kClose);
    return 0;
  } catch (const SetupFailure& failure) {
    if (settingsFileCreated) {
      platform.DiscardSettingsFile();
    }
    // When standard output itself fails, the report cannot be delivered; the status still tells.
    platform.WriteStandardOutput(FailureReportText(failure, moduleName));
    return 1;
  }
}

}  // namespace setwright

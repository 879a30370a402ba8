#include "setup/core/settings_file.h"

namespace setwright {

namespace {
constexpr std::string_view kFileName = "\\Gorblunk.Ini";
}  // namespace

std::string SettingsFilePath(std::string_view windowsDirectory) {
  std::string path(windowsDirectory);
  path.append(kFileName);
  return path;
}

std::array<std::string, kSettingsLineCount> SettingsFileLines(std::string_view gameDirectory) {
  const std::string directory(gameDirectory);
  return {
      "[Gorblunk]",
      "Language=0",
      "HDDir=" + directory,
      "GameExe=" + directory + "\\GkLaunch.Exe",
      "BrindelEXE=" + directory + "\\Bin\\Brindel.Kit\\Brindel.Exe",
      "GameDetail=3",
      "GameStats=2",
      "WindowW=1152",
      "WindowH=864",
      "DisplayMode=1",
      "WaitForRetrace=1",
      "FrameRate=0",
      "GammaCorrection=4",
      "BufferLength=-1",
      "Volume=256",
      "nVoices=16",
      "Stereo=1",
      "Up=38",
      "Down=40",
      "Left=37",
      "Right=39",
      "LeftShoot=45",
      "RightShoot=32",
      "SwitchWeapon=9",
  };
}

}  // namespace setwright

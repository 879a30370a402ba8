// What the Setwright tests share: the texts the program must print and write, and a Wine prefix
// made in a temporary folder.
#pragma once

#include <filesystem>
#include <string>

#include "temp_dir.h"

namespace setwright::testing {

inline constexpr char kBanner[] =
    "Gorblunk Setup                      [MMX]\r\n"
    "  _   _   _   _   _   _   _   _   _   _\r\n"
    "_| |_| |_| |_| |_| |_| |_| |_| |_| |_| |_\r\n"
    "|     G   O   R   B   L   U   N   K     |\r\n"
    "|      []         .---.         []      |\r\n"
    "|                 |   |                 |\r\n"
    "|_________________|___|_________________|\r\n";

// The settings file for the game in C:\Games\Gorblunk: 397 bytes.
inline constexpr char kSettingsFile[] =
    "[Gorblunk]\r\nLanguage=0\r\nHDDir=C:\\Games\\Gorblunk\r\n"
    "GameExe=C:\\Games\\Gorblunk\\GkLaunch.Exe\r\n"
    "BrindelEXE=C:\\Games\\Gorblunk\\Bin\\Brindel.Kit\\Brindel.Exe\r\n"
    "GameDetail=3\r\nGameStats=2\r\nWindowW=1152\r\nWindowH=864\r\nDisplayMode=1\r\n"
    "WaitForRetrace=1\r\nFrameRate=0\r\nGammaCorrection=4\r\nBufferLength=-1\r\nVolume=256\r\n"
    "nVoices=16\r\nStereo=1\r\nUp=38\r\nDown=40\r\nLeft=37\r\nRight=39\r\nLeftShoot=45\r\n"
    "RightShoot=32\r\nSwitchWeapon=9\r\n";

inline constexpr char kOldSettings[] = "[Gorblunk]\r\nLanguage=7\r\n";

// A machine hive holding `valueLines` under the key of SystemRoot, between keys whose SystemRoot
// must not be taken.
inline std::string Hive(const std::string& valueLines) {
  return "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n\n"
         "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796581380\n"
         "\"SystemRoot\"=\"C:\\\\wrong key\"\n\n"
         "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796581394\n#time=1dd85aedba7a19a\n"
         "\"CommonFilesDir\"=\"C:\\\\Program Files\\\\Common Files\"\n" +
         valueLines +
         "\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\App Paths] 1796581380\n"
         "\"SystemRoot\"=\"C:\\\\wrong subkey\"\n";
}

// A Wine prefix: c: links to drive_c, which holds the game in Games\Gorblunk and the Windows
// directory WIN with an earlier settings file; the hive names C:\WIN.
class WinePrefix {
 public:
  WinePrefix() {
    std::filesystem::create_directories(game);
    std::filesystem::create_directories(win);
    std::filesystem::create_directories(prefix / "dosdevices");
    Link("c:", "../drive_c");
    WriteHive("\"SystemRoot\"=\"C:\\\\WIN\"\n");
    folder.WriteText("prefix/drive_c/WIN/Gorblunk.Ini", kOldSettings);
  }

  void Link(const std::string& name, const std::filesystem::path& target) const {
    std::filesystem::create_symlink(target, prefix / "dosdevices" / name);
  }
  void WriteHive(const std::string& valueLines) const {
    folder.WriteText("prefix/system.reg", Hive(valueLines));
  }

  testing_support::TempDir folder;
  std::filesystem::path prefix = folder.Path() / "prefix";
  std::filesystem::path driveC = prefix / "drive_c";
  std::filesystem::path game = driveC / "Games" / "Gorblunk";
  std::filesystem::path win = driveC / "WIN";
  std::filesystem::path settings = win / "Gorblunk.Ini";
};

}  // namespace setwright::testing

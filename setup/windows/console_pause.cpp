#include "setup/windows/console_pause.h"

#include <windows.h>

#include <atomic>
#include <string_view>

namespace setwright {

namespace {

// The status that the process ends with when a console event ends the pause.
std::atomic<int> pausedStatus{0};

// Runs on a thread of its own: Ctrl+C, Ctrl+Break and the console's closing all end the pause
// with the run's status, not with the system's STATUS_CONTROL_C_EXIT.
BOOL WINAPI EndPause(DWORD /*event*/) {
  ::ExitProcess(static_cast<UINT>(pausedStatus.load()));
  return TRUE;
}

}  // namespace

bool OwnsVisibleConsoleAlone() {
  DWORD mode = 0;
  if (!::GetConsoleMode(::GetStdHandle(STD_OUTPUT_HANDLE), &mode)) {
    return false;  // a pipe, a file or NUL: the output stays to be read
  }
  DWORD processes[2] = {};
  if (::GetConsoleProcessList(processes, 2) != 1) {
    return false;  // shared with the shell that started the program, or no console at all
  }
  const HWND window = ::GetConsoleWindow();
  if (window == nullptr) {
    return false;
  }
  char className[32] = {};
  const int length = ::GetClassNameA(window, className, sizeof className);
  return ::IsWindowVisible(window) ||
         std::string_view(className, length > 0 ? length : 0) == "PseudoConsoleWindow";
}

int PauseBeforeConsoleCloses(int status) {
  if (!OwnsVisibleConsoleAlone()) {
    return status;
  }
  constexpr std::string_view kPrompt = "\r\nPress Enter to close.";
  DWORD written = 0;
  if (!::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), kPrompt.data(),
                   static_cast<DWORD>(kPrompt.size()), &written, nullptr) ||
      written != kPrompt.size()) {
    return status;  // nobody is told to press Enter, so nobody is waited for
  }
  pausedStatus = status;
  // Where the handler cannot be set, Ctrl+C and closing the window still end the wait, only with
  // the system's status: the run is over, and there is nothing left to report.
  ::SetConsoleCtrlHandler(EndPause, TRUE);
  const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
  // Keys pressed while the run went on do not count; a failed flush only lets them through.
  ::FlushConsoleInputBuffer(input);
  // Line input returns once Enter is pressed; a failed read or the end of the input (input that
  // is no console) ends the wait too, since no Enter can come from it.
  char line[64];
  for (DWORD got = 1; got != 0;) {
    if (!::ReadFile(input, line, sizeof line, &got, nullptr) ||
        std::string_view(line, got).find('\n') != std::string_view::npos) {
      break;
    }
  }
  return status;
}

}  // namespace setwright

// The pause before a console of Setwright.exe's own closes. A program that owns its console
// alone (started by a double-click, or elevated into a new console) loses its output with the
// console the moment it exits; in a console shared with a shell, a pipe or a file the output
// stays to be read, and nothing waits.
#pragma once

#ifndef _WIN32
#error "console_pause.h is part of the Windows platform layer"
#endif

namespace setwright {

// True when standard output is a console that only this process is attached to and that someone
// can see: its window is shown, or it is a pseudo console, whose terminal (Windows Terminal)
// keeps its own window hidden. Wine's console on a Unix terminal, whose shell stays, has a
// hidden window; a console started hidden (CREATE_NO_WINDOW, SW_HIDE) has nobody to press Enter.
bool OwnsVisibleConsoleAlone();

// When OwnsVisibleConsoleAlone, prints "Press Enter to close." on a line of its own and waits
// for Enter. Returns `status` in every case, also when the pause ends by Ctrl+C or the
// console's closing, which end the process with `status` at once.
int PauseBeforeConsoleCloses(int status);

}  // namespace setwright

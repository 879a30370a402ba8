#!/usr/bin/env bash
# Builds the Windows zip in build/ (configured before) and checks it as a Windows user would
# get it: the files it holds, its texts with CR LF line ends, each program's version
# information and manifest, and each program run under Wine in a fresh prefix from the unpacked
# folder: the README's trovanta-ls.exe examples on the demo archive beside it, the demo listing,
# Setwright.exe writing the settings file through a pipe, on a terminal and in a console window
# of its own (where it waits for Enter), and Trovanta.exe showing its window on Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$source/build
source tools/check-common.sh
name=trovanta-windows-$version
zip=$build/$name.zip


work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= LC_ALL=C.UTF-8
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --build "$build" --target windows_zip
unzip -q "$zip" -d "$work"
folder=$work/$name
listing=$(cd "$folder" && ls | sort | tr '\n' ' ')
expect "files in the zip" "HEROES.SPR LICENSE.txt README.txt Setwright.exe Trovanta.exe trovanta-ls.exe " \
  "$listing"
for text in README.txt LICENSE.txt; do
  lines=$(wc -l <"$folder/$text")
  expect "$text lines ending in CR LF" "$lines" "$(grep -c $'\r$' "$folder/$text")"
done
grep -q "^Copyright (c) .* Gorblunk tools developers"$'\r$' "$folder/LICENSE.txt" ||
  fail "LICENSE.txt names no copyright holder"
for program in Setwright.exe Trovanta.exe trovanta-ls.exe; do
  grep -q "^$program - " "$folder/README.txt" || fail "README.txt does not describe $program"
done

cmp -s "$folder/HEROES.SPR" "$build/demo/HEROES.SPR" || fail "HEROES.SPR is not the demo archive"

# The version information that Explorer shows in the file's properties.
copyright=$(grep -m 1 '^Copyright ' LICENSE)
for program in "$folder"/*.exe; do
  name=$(basename "$program")
  product=Trovanta
  [ "$name" = Setwright.exe ] && product=Setwright
  info=$(python3 tools/pe_version_info.py "$program") || {
    fail "$name has no version information"
    continue
  }
  for field in "FILEVERSION=$version.0" "PRODUCTVERSION=$version.0" "FileVersion=$version" \
    "ProductVersion=$version" "ProductName=$product" "LegalCopyright=$copyright" \
    "OriginalFilename=$name"; do
    grep -qxF "$field" <<<"$info" || fail "$name version information: no $field in: $info"
  done
  grep -q '^FileDescription=.' <<<"$info" || fail "$name version information: no FileDescription"
done

# The manifest that Windows reads as it starts each program: Setwright.exe writes into the
# Windows folder, so it asks for an administrator's rights; the others run with the rights of
# whoever starts them. Each declares the Windows versions it supports (10 and 11, 8.1, 8, 7).
supported='supportedOS={8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}
supportedOS={1f676c76-80e1-4239-95bb-83d0f6d0da78}
supportedOS={4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}
supportedOS={35138b9a-5d96-4fbd-8e2d-a2440225f93a}'
for program in "$folder"/*.exe; do
  name=$(basename "$program")
  level=asInvoker
  [ "$name" = Setwright.exe ] && level=requireAdministrator
  manifest=$(python3 tools/pe_version_info.py --manifest "$program") || {
    fail "$name has no manifest"
    continue
  }
  expect "$name execution level" "requestedExecutionLevel=$level" \
    "$(grep '^requestedExecutionLevel=' <<<"$manifest")"
  expect "$name supported Windows versions" "$supported" "$(grep '^supportedOS=' <<<"$manifest")"
done

wine wineboot -i >/dev/null 2>&1
wineserver -w

# The README's examples for trovanta-ls.exe, run as written from the unpacked folder.
while read -r example; do
  read -ra words <<<"${example%$'\r'}"
  (cd "$folder" && wine "${words[@]}" </dev/null >/dev/null 2>&1) ||
    fail "README.txt example: $example"
done < <(grep '^    trovanta-ls\.exe ' "$folder/README.txt")

# trovanta-ls.exe: the demo listing, as the native program prints it.
status=0
output=$(cd "$folder" && wine trovanta-ls.exe HEROES.SPR 2>"$work/err.txt") || status=$?
expect "trovanta-ls.exe exit status" 0 "$status"
expect "trovanta-ls.exe listing" "$(cat tests/lister/cli/expected/demo_table.txt)" "$(tr -d '\r' <<<"$output")"
expect "trovanta-ls.exe errors" "" "$(cat "$work/err.txt")"
expect "trovanta-ls.exe --version" "trovanta-ls $version" "$(wine "$folder/trovanta-ls.exe" --version | tr -d '\r')"

# Setwright.exe from the game's folder of a new prefix, which names no Windows directory: the
# settings file goes to the root of drive C.
game=$WINEPREFIX/drive_c/Games/Gorblunk
mkdir -p "$game"
cp "$folder/Setwright.exe" "$game/"
status=0
banner=$(cd "$game" && wine Setwright.exe) || status=$?
expect "Setwright.exe exit status" 0 "$status"
expect "Setwright.exe banner title" $'Gorblunk Setup                      [MMX]\r' "$(head -n 1 <<<"$banner")"
expect "Setwright.exe banner lines" 7 "$(wc -l <<<"$banner")"
ini=$WINEPREFIX/drive_c/Gorblunk.Ini
if [ -f "$ini" ]; then
  expect "Gorblunk.Ini head" $'[Gorblunk]\r\nLanguage=0\r\nHDDir=C:\\Games\\Gorblunk\r\nGameExe=C:\\Games\\Gorblunk\\GkLaunch.Exe\r\nBrindelEXE=C:\\Games\\Gorblunk\\Bin\\Brindel.Kit\\Brindel.Exe\r' \
    "$(head -n 5 "$ini")"
  expect "Gorblunk.Ini last line" $'SwitchWeapon=9\r' "$(tail -n 1 "$ini")"
  expect "Gorblunk.Ini size" 397 "$(stat -c %s "$ini")"
else
  fail "Setwright.exe wrote no $ini"
fi

# On a Unix terminal Wine gives Setwright.exe a console that only it is attached to, as a
# double-click would, but the shell that started it stays: it does not wait for Enter.
status=0
(cd "$game" && timeout 60 script -qec "wine Setwright.exe" /dev/null) </dev/null \
  >"$work/terminal.txt" 2>&1 || status=$?
expect "Setwright.exe exit status on a terminal" 0 "$status"
# The terminal's text without its escape sequences and blanks.
if sed 's/\x1b\[[0-9;?]*[A-Za-z]//g' "$work/terminal.txt" | tr -d ' \r\n' |
  grep -q PressEnter; then
  fail "Setwright.exe on a terminal waited for Enter"
fi

# The windows below are on a virtual screen. The wineserver of the console runs above has no
# display; a new one is started under Xvfb.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

# Setwright.exe in a console window of its own, as a double-click or an administrator's start
# gives it: once the settings file is written it waits, and Enter ends it with the run's status.
read -r -d '' inner <<'INNER' || true
cd "$1"
rm -f "$2"
wineconsole Setwright.exe &
app=$!
for _ in $(seq 120); do [ -f "$2" ] && break; sleep 0.5; done
sleep 2
if ! kill -0 "$app" 2>/dev/null; then
  echo "Setwright.exe in a console of its own ended without waiting for Enter" >&2
  exit 1
fi
window=$(timeout 30 xdotool search --sync --onlyvisible --name 'Setwright\.exe$' | head -n 1)
# The window may be gone before the key's release is sent: that error is no failure.
xdotool key --window "$window" Return 2>/dev/null
for _ in $(seq 60); do kill -0 "$app" 2>/dev/null || break; sleep 0.5; done
if kill -0 "$app" 2>/dev/null; then
  echo "Setwright.exe in a console of its own did not end after Enter" >&2
  kill "$app"
  exit 1
fi
wait "$app"
INNER
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" setwright "$game" "$ini" || status=$?
wineserver -k 2>/dev/null || true
expect "Setwright.exe exit status in a console of its own, after Enter" 0 "$status"

# The README's command that names the Windows folder in the registry, run as written (its two
# lines in a batch file, so that the Command Prompt reads them): the settings file then goes there.
sed -n '/^    reg add /,/[^^]\r$/p' "$folder/README.txt" >"$game/systemroot.bat"
status=0
(cd "$game" && wine cmd /c systemroot.bat >/dev/null 2>&1 && wine Setwright.exe >/dev/null) ||
  status=$?
wineserver -w
expect "Setwright.exe exit status after the README's reg add" 0 "$status"
expect "Gorblunk.Ini size in the Windows folder" 397 \
  "$(stat -c %s "$WINEPREFIX/drive_c/windows/Gorblunk.Ini" 2>&1)"
# Where an old 32-bit game reads its settings instead, by the name a user can type.
grep -qF '%LOCALAPPDATA%\VirtualStore\Windows\Gorblunk.Ini' "$folder/README.txt" ||
  fail "README.txt does not name the game's copy in the VirtualStore"

# Trovanta.exe: its window.
read -r -d '' inner <<'INNER' || true
cd "$1"
wine "$2" HEROES.SPR &
app=$!
found=0
timeout 60 xdotool search --sync --onlyvisible --name '^Trovanta' >/dev/null && found=1
kill "$app" 2>/dev/null
wineserver -k 2>/dev/null
[ "$found" = 1 ]
INNER
if ! xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$inner" trovanta "$folder" \
  "$folder/Trovanta.exe"; then
  fail "Trovanta.exe showed no window"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures Windows zip checks failed" >&2
  exit 1
fi
echo "Windows zip checks passed"

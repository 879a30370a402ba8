#!/usr/bin/env bash
# Builds the Windows zip in build/ (configured before) and checks it as a Windows user would
# get it: the files it holds, its texts with CR LF line ends, each program's version
# information, and each program run under Wine in a fresh prefix from the unpacked folder: the
# README's trovanta-ls.exe examples on the demo archive beside it, the demo listing,
# Setwright.exe writing the settings file, and Trovanta.exe, when the zip holds it, showing its
# window on Xvfb.
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
expected="HEROES.SPR LICENSE.txt README.txt Setwright.exe trovanta-ls.exe "
if [ -f "$folder/Trovanta.exe" ]; then
  expected="HEROES.SPR LICENSE.txt README.txt Setwright.exe Trovanta.exe trovanta-ls.exe "
fi
expect "files in the zip" "$expected" "$listing"
for text in README.txt LICENSE.txt; do
  lines=$(wc -l <"$folder/$text")
  expect "$text lines ending in CR LF" "$lines" "$(grep -c $'\r$' "$folder/$text")"
done
grep -q "^Copyright (c) .* Gorblunk tools developers"$'\r$' "$folder/LICENSE.txt" ||
  fail "LICENSE.txt names no copyright holder"
for program in Setwright.exe trovanta-ls.exe; do
  grep -q "^$program - " "$folder/README.txt" || fail "README.txt does not describe $program"
done
if [ -f "$folder/Trovanta.exe" ]; then
  grep -q "^Trovanta.exe - " "$folder/README.txt" || fail "README.txt does not describe Trovanta.exe"
else
  if grep -q "Trovanta.exe" "$folder/README.txt"; then
    fail "README.txt describes Trovanta.exe, which the zip does not hold"
  fi
fi

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

# Trovanta.exe: its window on a virtual screen. The wineserver of the console runs above has no
# display; a new one is started under Xvfb.
if [ -f "$folder/Trovanta.exe" ]; then
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
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
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures Windows zip checks failed" >&2
  exit 1
fi
echo "Windows zip checks passed"

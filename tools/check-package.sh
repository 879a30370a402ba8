#!/usr/bin/env bash
# Builds the Debian package from build/ (configured and built before) and checks it as a user's
# machine would see it: lintian without an error or a warning; the files it holds (the README,
# the demo archive, the icon at every size); the programs, unpacked into a throw-away root,
# answer --version and list the packaged demo archive; the manual pages render without a
# warning; the desktop entry and the AppStream file validate; the archive file type is
# recognised by its contents (whatever the name for xdg-mime's File::MimeInfo, for a name no
# other type claims for GIO), and not for a TeX file or a text .map.
#   tools/check-package.sh            those checks
#   tools/check-package.sh --install  also installs the package with apt, checks it, removes it
#                                     again and checks that nothing is left (needs root)
set -euo pipefail
cd "$(dirname "$0")/.."
source=$PWD
build=$source/build
source tools/check-common.sh
deb=$build/gorblunk-tools_${version}_amd64.deb


work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

rm -f "$deb"
(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log"; exit 1; }
[ -f "$deb" ] || { echo "no $deb" >&2; exit 1; }
echo "built $deb"

if ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
  fail "lintian: $(grep -v 'running with root privileges' "$work/lintian.log")"
fi

root=$work/root
dpkg-deb -x "$deb" "$root"
for file in usr/bin/Trovanta usr/bin/trovanta-ls usr/bin/Setwright \
  usr/share/applications/org.gorblunk.Trovanta.desktop \
  usr/share/metainfo/org.gorblunk.Trovanta.metainfo.xml usr/share/mime/packages/gorblunk-tools.xml \
  usr/share/man/man1/Trovanta.1.gz usr/share/man/man1/trovanta-ls.1.gz \
  usr/share/man/man1/Setwright.1.gz usr/share/doc/gorblunk-tools/copyright \
  usr/share/doc/gorblunk-tools/README.md.gz usr/share/doc/gorblunk-tools/examples/HEROES.SPR; do
  [ -f "$root/$file" ] || fail "the package has no /$file"
done
for size in 16 24 32 48 64 128 256; do
  expect "icon ${size}x$size" "PNG image data $size x $size" \
    "$(file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/trovanta.png" | cut -d, -f1,2 | tr -d ',')"
done
if dpkg-deb -c "$deb" | grep -q '\.exe$'; then
  fail "the package holds a Windows program"
fi
expect "Depends" "yes" "$(dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' && echo yes)"

expect "trovanta-ls --version" "trovanta-ls $version" "$("$root/usr/bin/trovanta-ls" --version)"
zcat "$root/usr/share/doc/gorblunk-tools/README.md.gz" | cmp -s - README.md ||
  fail "/usr/share/doc/gorblunk-tools/README.md.gz is not the README"
expect "demo listing" "$(cat tests/lister/cli/expected/demo_table.txt)" \
  "$(cd "$root/usr/share/doc/gorblunk-tools/examples" && "$root/usr/bin/trovanta-ls" HEROES.SPR)"

for page in "$root"/usr/share/man/man1/*.gz; do
  if ! MANWIDTH=80 man --warnings -l "$page" >"$work/page.txt" 2>"$work/warnings.txt" ||
    [ -s "$work/warnings.txt" ]; then
    fail "man $(basename "$page"): $(cat "$work/warnings.txt")"
  fi
  name=$(basename "$page" .1.gz)
  expect "man $name NAME" "$name - " "$(sed -n '/^NAME/{n;p}' "$work/page.txt" | tr -s ' ' | sed 's/^ //' | cut -c1-$((${#name} + 3)))"
  for section in SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
    grep -q "^$section\$" "$work/page.txt" || fail "man $name: no $section section"
  done
done

if ! appstreamcli validate --no-net "$root/usr/share/metainfo/org.gorblunk.Trovanta.metainfo.xml"; then
  fail "appstreamcli validate"
fi
desktop=$root/usr/share/applications/org.gorblunk.Trovanta.desktop
if ! desktop-file-validate "$desktop" >"$work/desktop.log" 2>&1 || [ -s "$work/desktop.log" ]; then
  fail "desktop-file-validate: $(cat "$work/desktop.log")"
fi

# The file type in a desktop of its own: the package's definitions only, over the system's.
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
unset XDG_CURRENT_DESKTOP KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID DESKTOP_SESSION
mkdir -p "$XDG_DATA_HOME/mime/packages" "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME"
cp "$root/usr/share/mime/packages/gorblunk-tools.xml" "$XDG_DATA_HOME/mime/packages/"
cp "$desktop" "$XDG_DATA_HOME/applications/"
update-mime-database "$XDG_DATA_HOME/mime"
update-desktop-database "$XDG_DATA_HOME/applications"
files=$work/files
mkdir "$files"
for extension in .spr .map .til .mix .lit .llt .tex "" .png .zip; do
  cp "$build/demo/HEROES.SPR" "$files/heroes$extension"
done
printf '\\documentclass{article}\n\\begin{document}\nMap of the keep.\n\\end{document}\n' \
  >"$files/keep.tex"
printf 'Memory map of the linker\n .text 0x00401000 0x2400 main.o\n' >"$files/linker.map"
content_type() {
  gio info -a standard::content-type "$1" | sed -n 's/^ *standard::content-type: //p'
}
# xdg-mime outside GNOME asks File::MimeInfo, which tries the signature before the name; GIO
# tries the name first and reads the contents only when no type, or more than one, claims it.
for file in "$files"/*; do
  case $file in
    */heroes.png) xdg=application/x-gorblunk-archive gio=image/png ;;
    */heroes.zip) xdg=application/x-gorblunk-archive gio=application/zip ;;
    */heroes*) xdg=application/x-gorblunk-archive gio=$xdg ;;
    */keep.tex) xdg=text/x-tex gio=$xdg ;;
    *) xdg=text/plain gio=$xdg ;;
  esac
  expect "xdg-mime query filetype $(basename "$file")" "$xdg" "$(xdg-mime query filetype "$file")"
  expect "gio info $(basename "$file")" "$gio" "$(content_type "$file")"
done
expect "xdg-mime query default" org.gorblunk.Trovanta.desktop \
  "$(xdg-mime query default application/x-gorblunk-archive)"
# GIO offers only programs that it finds on the PATH.
expect "gio mime default" org.gorblunk.Trovanta.desktop \
  "$(PATH=$root/usr/bin:$PATH gio mime application/x-gorblunk-archive | sed -n '1s/.*: //p')"

if [ "${1:-}" = "--install" ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt install"; }
  dpkg -L gorblunk-tools | sort >"$work/installed.txt"
  expect "installed trovanta-ls" "trovanta-ls $version" "$(trovanta-ls --version)"
  expect "man -w trovanta-ls" /usr/share/man/man1/trovanta-ls.1.gz "$(man -w trovanta-ls)"
  expect "system file type" application/x-gorblunk-archive \
    "$(XDG_DATA_HOME=$work/empty xdg-mime query filetype "$files/heroes.map")"
  apt-get remove -y -qq gorblunk-tools >>"$work/apt.log" 2>&1 || fail "apt remove"
  expect "package state after removal" "" "$(dpkg-query -W -f='${Status}' gorblunk-tools 2>/dev/null | grep -v not-installed || true)"
  while read -r path; do
    if [ -f "$path" ] || [ -L "$path" ]; then
      fail "left after apt remove: $path"
    fi
  done <"$work/installed.txt"
  expect "system file type after removal" application/octet-stream \
    "$(XDG_DATA_HOME=$work/empty xdg-mime query filetype "$files/heroes.map")"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures package checks failed" >&2
  exit 1
fi
echo "package checks passed"

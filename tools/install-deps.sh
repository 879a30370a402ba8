#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the tests and the demo need and this
# machine lacks. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang clang-format python3
  libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
  qt6-base-dev xvfb xauth imagemagick fonts-dejavu-core fonts-liberation x11-utils xdotool
  wine wine64 fonts-wine openbox g++-mingw-w64-x86-64 e2fsprogs locales
  dpkg-dev file lintian man-db appstream desktop-file-utils shared-mime-info xdg-utils
  libfile-mimeinfo-perl libglib2.0-bin unzip strace jq
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null

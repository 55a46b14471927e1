#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tessik need.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  # build
  cmake make g++ pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev qt6-svg-dev zlib1g-dev
  # run: the platform plugins and the fonts the diagram is measured with
  qt6-qpa-plugins fonts-liberation2 fontconfig
  # tests, benchmarks, fuzzing, the X smoke test and looking at the real window
  libbenchmark-dev ripgrep clang libclang-rt-14-dev xvfb xauth xdotool imagemagick
  # the report tests read the PDF and the ODT back with real readers
  poppler-utils unzip
  # the installation test's validators, the Debian package's library dependencies and its checker
  desktop-file-utils appstream shared-mime-info dpkg-dev lintian
  # tests and CI: the fonts an ordinary desktop has beside ours (ghostscript brings the first two),
  # so that every run of the suite shows it holds whichever font a missing character comes from
  fonts-urw-base35 fonts-droid-fallback fonts-noto-core fonts-dejavu
  # the accessibility test reads the window over the desktop's accessibility bus, as a screen reader
  at-spi2-core dbus-daemon python3-pyatspi
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

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

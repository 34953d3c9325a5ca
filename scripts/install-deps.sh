#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and only those
# that are missing, so a second run does nothing and needs no network.
#
# With the argument "fuzz" it installs what make fuzz needs on top: clang and
# its libFuzzer and sanitizer runtimes. The other targets never ask for it.
#
# With "package" it installs what make package needs and what checks the
# package: libsystemd (the service watchdog, built in when found), the icon
# renderer, lintian and the desktop and man page checkers.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-serialport-dev libqt6opengl6-dev
  libxkbcommon-dev libgl-dev libsndfile1-dev libebur128-dev
  qt6-charts-dev libqt6sql6-sqlite
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth socat poppler-utils sndfile-programs fonts-liberation
  pulseaudio pulseaudio-utils
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang libclang-rt-14-dev)
fi
if [ "${1:-}" = package ]; then
  packages+=(libsystemd-dev librsvg2-bin dpkg-dev file lintian desktop-file-utils appstream man-db)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  sudo=(sudo)
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs every Debian package the ticker needs to build, run, test and benchmark.
# Does nothing for packages already present; uses sudo when not root.
set -euo pipefail

packages=(
  # build
  g++ cmake ninja-build pkg-config qt6-base-dev libxcb1-dev libxcb-screensaver0-dev libgtest-dev libgmock-dev
  # benchmarks and fuzzing
  libbenchmark-dev libpugixml-dev clang libclang-rt-14-dev
  # run and tests: X server, window manager, pointer driving, screenshots, feed server
  xvfb xauth xdotool x11-utils openbox imagemagick python3 procps
  # more window managers for the focus tests: metacity focuses new windows, kwin marks one it
  # did not activate as asking for attention
  metacity kwin-x11
  # installing and packaging: validators, the manual page, dpkg-shlibdeps, icon rendering
  desktop-file-utils appstream man-db groff-base dpkg-dev file librsvg2-bin
  # the Windows build: the mingw-w64 cross compiler (posix threads), Wine to test it, and
  # makensis for its installer
  g++-mingw-w64-x86-64-posix wine wine64 nsis
  # signing the Windows packages; their test's throwaway certificate and unpacked installer
  osslsigncode openssl p7zip-full
  # the screen reader test: a session bus, the accessibility bus and a reader
  dbus at-spi2-core python3-pyatspi
  # Wayland desktops, headless, for the strip's end-to-end tests: mutter and sway with
  # XWayland, xhost to let the tests reach sway's XWayland (the session bus is above), and
  # the toolkit's own Wayland platform
  mutter sway xwayland x11-xserver-utils qt6-wayland
  # runtime
  libqt6widgets6 libqt6network6 ca-certificates xdg-utils fonts-liberation fonts-dejavu-core
  # headlines in every script, which fontconfig takes per character where the strip's font
  # lacks one: Devanagari, Thai, Chinese, Japanese and Korean, colour emoji, and black and white
  # emoji that Wine draws (small ones that leave the default faces of Latin text and emoji as
  # they are)
  fonts-lohit-deva fonts-tlwg-loma fonts-wqy-microhei fonts-noto-color-emoji fonts-symbola
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2

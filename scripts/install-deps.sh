#!/usr/bin/env bash
# Installs every Debian package the build, the game, the tests and the score
# server need. Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libfreetype-dev fonts-wine fonts-dejavu-core
  libxmp-dev libcurl4-openssl-dev libcairo2-dev libfontconfig1-dev
  libcpp-httplib-dev libmicrohttpd-dev libsqlite3-dev sqlite3 libpq-dev
  libgtest-dev libgmock-dev libbenchmark-dev libx11-dev zlib1g-dev
  dpkg-dev file gettext
)
# Extra packages for the test command: a headless browser for the world-table
# page test, a virtual X server for window smoke tests, xdotool to click in
# it, openbox as the window manager those tests start, Xorg's dummy driver for
# two displays side by side (which Xvfb cannot show) and x11-utils (xwininfo)
# to look at their windows by hand, the validators of the desktop entry and
# the AppStream data, the MIME database tools that recognise the installed
# replay type, a PostgreSQL server the score server tests start for
# themselves, promtool (from prometheus) that checks the server's /metrics,
# clang with its libFuzzer runtime for the fuzz targets, and
# systemd-analyze and man for checking the server's unit, and Mesa's software
# OpenGL and OpenGL ES behind SDL's offscreen driver, where the window tests
# read back what each renderer shows. (libx11-dev above: the window tests ask
# the X server itself where the window stands.)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(chromium xvfb xauth xdotool desktop-file-utils appstream
    shared-mime-info libglib2.0-bin postgresql prometheus clang
    libclang-rt-14-dev systemd man-db libgl1-mesa-dri libegl-mesa0 libgles2 openbox x11-utils
    xserver-xorg-core xserver-xorg-video-dummy)
  # The locale sources from which the locale tests build a decimal-comma
  # locale, and a face without Cyrillic for the font fallback test.
  packages+=(locales fonts-dejavu-extra)
  # The release checks: licences, package lint and the source tarball; the
  # format check of the sources.
  packages+=(reuse lintian xz-utils clang-format)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"

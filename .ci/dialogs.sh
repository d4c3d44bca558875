#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Dialog stage: rsabox's two message boxes on a virtual X display, for the
# Linux build with GTK and for rsabox.exe under Wine (tests/programs/dialogs.py).
# The screenshots of each box stay in build/dialogs.
set -euo pipefail
cd "$(dirname "$0")/.."
source .ci/lib.sh

x64=build/mingw-x64
linux=build/release
wineserver=/usr/lib/wine/wineserver64

# Wine's server and system processes hold the display: they go first and
# last, so that the boxes' Wine starts on this stage's display.
stop_wine() { WINEPREFIX="$PWD/$x64/wine" "$wineserver" -k 2>/dev/null || true; }

stage "dialogs: X tools, GTK and Wine"
need_packages cmake ninja-build g++ pkg-config libgtk-3-dev g++-mingw-w64-x86-64-posix wine64 \
  xvfb xdotool xclip x11-utils imagemagick python3

stage "dialogs: rsabox with GTK, rsabox.exe and box_text.exe"
cmake --preset release -DBIGNUM_GTK=ON >/dev/null
cmake --build --preset release --target rsabox
cmake --preset mingw-x64 >/dev/null
cmake --build --preset mingw-x64 --target rsabox box_text
mkdir -p "$x64/wine"

stage "dialogs: both platforms on Xvfb"
stop_wine
trap stop_wine EXIT
started=$SECONDS
python3 tests/programs/dialogs.py rsabox/keys.h build/dialogs --linux "$linux/rsabox/rsabox" \
  --wine "$PWD/$x64/wine" "$x64/rsabox/rsabox.exe" "$x64/tests/windows/box_text.exe"
echo "dialog checks took $((SECONDS - started))s; screenshots in build/dialogs"

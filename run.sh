#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Set-up, build, and start the program. Without a display it runs the default
# experiment headless and writes its pictures and texts into out/.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh run
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs" --target velmor5 velmor5-script
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/velmor5
fi
mkdir -p out
cd out
QT_QPA_PLATFORM=offscreen ../build/velmor5-script ../examples/default-experiment.txt \
  > default-experiment.txt
echo "no display: the default experiment ran headless; see out/"
ls -1

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in the build ./run.sh makes (RelWithDebInfo, in
# build/), runs every one of them, or those named as arguments, and prints
# one table: benchmark, now, its bare baseline measured in the same run, and
# the ratio. BUILD_DIR chooses another build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
if [ $# -gt 0 ]; then
  benches=("$@")
else
  benches=()
  for f in "$root"/bench/*_bench.cpp; do benches+=("$(basename "$f" .cpp)"); done
fi
command -v python3 >/dev/null || "$root/tools/install-deps.sh" python3
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMOR_BENCH=ON \
  -DVELMOR_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target "${benches[@]}" >/dev/null
work=$(mktemp -d)
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
trap 'rm -rf "$work"' EXIT
for b in "${benches[@]}"; do
  # Each in an empty folder: a benchmark may leave files behind.
  mkdir "$work/$b"
  if ! (cd "$work/$b" && QT_QPA_PLATFORM=offscreen "$build/bench/$b" \
          --benchmark_out="$work/$b.json" --benchmark_out_format=json \
          >"$work/$b.log" 2>&1); then
    echo "$b failed:" >&2
    tail -5 "$work/$b.log" >&2
  fi
done
echo "command: bench/run-all.sh $*"
echo "load average (1, 5, 15 min): $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
python3 "$root/bench/bench_table.py" "${benches[@]/#/$work/}"

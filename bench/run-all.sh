#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmarks in the build ./run.sh makes (RelWithDebInfo, in
# build/), runs every one of them, or those named as arguments, and prints
# one table: benchmark, now, its bare baseline measured in the same run, and
# the ratio. BUILD_DIR chooses another build folder. ROUNDS (default 3) runs
# the whole set that many times, one round after the other, so a ratio
# disturbed by other work on the machine shows as a spread: the table gives
# each benchmark's round with the median ratio, and the ratios of all rounds.
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
rounds=${ROUNDS:-3}
# On one processor (the last), as compare-builds.sh runs them: a run moved
# to the other processor half-way finds none of its memory in that one's
# caches, one more way for the two sides of a ratio to fare differently.
pin=()
if command -v taskset >/dev/null && [ "$(nproc)" -gt 1 ]; then
  pin=(taskset -c "$(($(nproc) - 1))")
fi
for ((round = 1; round <= rounds; round++)); do
  for b in "${benches[@]}"; do
    # Each in an empty folder: a benchmark may leave files behind.
    mkdir -p "$work/$b.r$round"
    if ! (cd "$work/$b.r$round" && QT_QPA_PLATFORM=offscreen "${pin[@]}" "$build/bench/$b" \
            --benchmark_out="$work/$b.r$round.json" --benchmark_out_format=json \
            >"$work/$b.r$round.log" 2>&1); then
      echo "$b failed:" >&2
      tail -5 "$work/$b.r$round.log" >&2
    fi
  done
done
echo "command: ROUNDS=$rounds bench/run-all.sh $*"
echo "load average (1, 5, 15 min): $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after"
echo "processor: ${pin[*]:-any}"
python3 "$root/bench/bench_table.py" "${benches[@]/#/$work/}"

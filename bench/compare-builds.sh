#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Compares one benchmark's ratio to its bare baseline between two builds:
#   bench/compare-builds.sh BINARY_A BINARY_B [PAIRS] [FILTER]
# e.g. the same benchmark built at two commits. The two binaries run by
# turns, PAIRS times each (default 10), pinned to the last processor, each
# in an empty temporary folder, and the script prints the median
# "x_baseline" of each and every value. On a shared machine a ratio drifts
# by ±10 % from one minute to the next; runs by turns see the same drift, so
# their medians can be compared where two separate runs of run-all.sh
# cannot. FILTER (default WithReport) chooses the benchmark.
set -euo pipefail
if [ $# -lt 2 ]; then
  echo "usage: bench/compare-builds.sh BINARY_A BINARY_B [PAIRS] [FILTER]" >&2
  exit 2
fi
a=$(realpath "$1")
b=$(realpath "$2")
pairs=${3:-10}
filter=${4:-WithReport}
cpu=$(($(nproc) - 1))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ratio() {
  (cd "$work" && QT_QPA_PLATFORM=offscreen taskset -c "$cpu" "$1" \
    --benchmark_filter="$filter" 2>/dev/null) |
    grep -o 'x_baseline=[0-9.]*' | head -n 1 | cut -d= -f2
}
ra=()
rb=()
for ((i = 0; i < pairs; i++)); do
  ra+=("$(ratio "$a")")
  rb+=("$(ratio "$b")")
done
median() {
  printf '%s\n' "$@" | sort -n |
    awk '{v[NR] = $1} END {print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}
echo "benchmark: $filter, $pairs pairs on processor $cpu"
echo "A $(median "${ra[@]}")×  $a"
echo "  ${ra[*]}"
echo "B $(median "${rb[@]}")×  $b"
echo "  ${rb[*]}"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Set-up, build with warnings as errors, every test offscreen (the driver
# scripts and number readers again under a Russian locale), the menu entry,
# the AppStream data and the Debian package;
# then the tests again in a build with the address and undefined-behaviour
# sanitizers, and a few seconds of fuzzing in that build.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh test
jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen
export LC_ALL=C.UTF-8
umask 022  # the package's files get the modes Debian wants

tools/check-spdx.sh

# The build users get, without its debug information: that changes no
# generated code, the package strips it anyway, and leaving it out shortens
# every compile and link of this tree.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" \
  -DVELMOR_WERROR=ON -DVELMOR_TESTS=ON -DVELMOR_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")
# The program's numbers do not depend on the machine's locale: the driver
# scripts (every window, numbers typed and shown) and the readers of number
# text run again under a Russian one.
if locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
  (cd build && LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 ctest --output-on-failure -j"$jobs" \
    -R '^script\.|^Parse|^DataFile|^PeriodTable')
fi

# The menu entry, the AppStream description and the Debian package.
desktop-file-validate packaging/org.velmor.velmor5.desktop
appstreamcli validate --pedantic --no-net build/org.velmor.velmor5.metainfo.xml
build/velmor5 --version
build/velmor5-script --version
rm -f build/velmor5_*.deb
(cd build && cpack -G DEB >/dev/null)
tools/check-package.sh build/velmor5_*.deb

# One clang build with the address and undefined-behaviour sanitizers runs
# the tests again and fuzzes every reader of outside input for a few seconds
# (the long run is in the README); it makes only what it runs. Its warnings
# are shown, not fatal: the build above holds the code to -Werror.
CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVELMOR_SANITIZE=ON \
  -DVELMOR_FUZZ=ON -DVELMOR_TESTS=ON -DVELMOR_WERROR=OFF -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" \
  >/dev/null
cmake --build build-sanitize -j"$jobs" --target velmor_core_tests velmor_window_tests \
  velmor5-script velmor5-monkey velmor_fuzzers
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-sanitize && ctest --output-on-failure -j"$jobs")

for fuzzer in build-sanitize/*_fuzz; do
  corpus=build-sanitize/corpus/$(basename "$fuzzer")
  mkdir -p "$corpus"
  seeds=tests/fuzz/seeds/$(basename "$fuzzer")
  [ -d "$seeds" ] || seeds=
  log=build-sanitize/$(basename "$fuzzer").log
  if ! "$fuzzer" -max_total_time=8 -seed=1 -print_final_stats=1 "$corpus" $seeds >"$log" 2>&1
  then
    tail -40 "$log"
    echo "fuzzer $fuzzer failed"
    exit 1
  fi
  echo "$(basename "$fuzzer"): $(grep -E 'stat::number_of_executed_units' "$log")"
done
echo "all tests passed"

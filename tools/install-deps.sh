#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a profile needs, only those that are missing;
# works as root or through sudo, and when run again.
#   run   building and running the program (./run.sh), the default
#   test  the above, and what the tests, the sanitizer and fuzz builds, the
#         benchmarks and the package checks need (./test.sh)
# Further package names after the profile are installed as well.
set -euo pipefail
profile=${1:-run}
[ $# -gt 0 ] && shift
run=(cmake g++ make qt6-base-dev qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
     fonts-dejavu-core)
test=(libgtest-dev libgmock-dev libbenchmark-dev clang ccache desktop-file-utils appstream
      lintian dpkg-dev file locales)
case $profile in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *) echo "usage: tools/install-deps.sh [run|test] [package...]" >&2; exit 2 ;;
esac
packages+=("$@")

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
updated=
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  # Another installation may hold the lock for a while; wait for it.
  local apt=("${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600)
  [ -n "$updated" ] || "${apt[@]}" update -qq
  updated=1
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}"
}
install_missing "${packages[@]}"

if [ "$profile" = test ]; then
  # The fuzzers link the fuzzing and sanitizer runtimes of the clang that is
  # installed, whichever version that is.
  major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
  install_missing "libclang-rt-$major-dev"
  # The tests run once more under a Russian machine locale.
  if ! locale -a 2>/dev/null | grep -qi '^ru_RU\.utf-\?8$'; then
    "${sudo_cmd[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8 || true
  fi
fi

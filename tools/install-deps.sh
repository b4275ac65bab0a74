#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that
# are missing; works as root or through sudo, and when run again.
set -euo pipefail
packages=(cmake g++ make qt6-base-dev fonts-dejavu-core libgtest-dev libgmock-dev
          libbenchmark-dev clang libclang-rt-14-dev desktop-file-utils appstream "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

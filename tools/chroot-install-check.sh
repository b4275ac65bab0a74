#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installation from the package alone: a fresh, minimal Debian 12 (bookworm)
# in a chroot, the package installed there with apt (which brings exactly
# its dependencies), then both programs started and an example run offscreen.
# Needs root, debootstrap and a few minutes; not part of ./test.sh.
# usage: sudo tools/chroot-install-check.sh build/velmor5_VERSION_ARCH.deb
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/chroot-install-check.sh PACKAGE.deb" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "chroot-install-check: needs root" >&2; exit 2; }
deb=$(realpath "$1")
command -v debootstrap >/dev/null || apt-get install -y -qq --no-install-recommends debootstrap

# The Debian mirror this machine's apt uses.
mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
  grep -v -- -security | head -n 1)
[ -n "$mirror" ] ||
  mirror=$(awk '$1 == "deb" && $3 !~ /security/ { print $2; exit }' /etc/apt/sources.list)

root=$(mktemp -d /tmp/velmor5-chroot.XXXXXX)
cleanup() {
  umount "$root/proc" 2>/dev/null || true
  rm -rf "$root"
}
trap cleanup EXIT

echo "chroot: debootstrap bookworm from $mirror"
debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.log" 2>&1 ||
  { tail -20 "$root.log"; exit 1; }
rm -f "$root.log"
mount -t proc proc "$root/proc"
cp "$deb" "$root/tmp/"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 "$@"; }
in_root apt-get update -qq
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  "/tmp/$(basename "$deb")" >/dev/null
echo "chroot: installed $(in_root dpkg-query -W -f '${Package} ${Version}' velmor5)," \
  "$(in_root dpkg-query -W -f '${binary:Package}\n' | wc -l) packages in all"

in_root velmor5 --version
in_root velmor5-script --version
in_root velmor5 --help >/dev/null
# The program itself starts and keeps running until it is ended.
status=0
in_root timeout 5 velmor5 -platform offscreen 2>/dev/null || status=$?
[ "$status" -eq 124 ] || { echo "chroot: velmor5 ended with status $status" >&2; exit 1; }
mkdir "$root/tmp/run"
in_root sh -c 'cd /tmp/run && QT_QPA_PLATFORM=offscreen \
  velmor5-script /usr/share/doc/velmor5/examples/default-experiment.txt > out.txt'
# The run's numbers, and the pictures it saved.
grep -q '^Form1.Text20=' "$root/tmp/run/out.txt"
for f in start-picture.png default-experiment.png default-experiment.bmp; do
  [ -s "$root/tmp/run/$f" ] || { echo "chroot: the example left no $f" >&2; exit 1; }
done
# The window opens on the platform plugin the package depends on.
in_root sh -c 'cd /tmp/run && printf "click Form1.Command8\nstate Form2\n" |
  QT_QPA_PLATFORM=offscreen velmor5-script' | grep -qx 'Form2: open=1 visible=1'
echo "chroot: the example ran: $(grep -c . "$root/tmp/run/out.txt") lines of output," \
  "$(ls "$root/tmp/run" | wc -l) files"

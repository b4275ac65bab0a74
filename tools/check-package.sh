#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as a packager checks it: lintian with no error and no
# warning (a tag that has to stay is overridden in packaging/lintian-overrides,
# each with a comment giving its reason), what the program cannot start
# without among its dependencies, its files, its installed size, and that
# apt can satisfy its dependencies here.
# usage: tools/check-package.sh build/velmor5_VERSION_ARCH.deb
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/check-package.sh PACKAGE.deb" >&2; exit 2; }
deb=$(realpath "$1")
cd "$(dirname "$0")/.."
fail() {
  echo "package: $*" >&2
  exit 1
}

overrides=packaging/lintian-overrides
if [ -f "$overrides" ]; then
  awk '/^[^#[:space:]]/ && prev !~ /^#/ { print "no reason given for: " $0; bad = 1 }
       { prev = $0 } END { exit bad }' "$overrides" || fail "$overrides"
fi
lintian --fail-on error,warning --display-info "$deb" || fail "lintian"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(sed 's/([^)]*)//g; s/|/,/g' <<<"$depends" | tr ',' '\n' | awk '{ print $1 }')
for p in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins; do
  grep -qxF "$p" <<<"$names" || fail "Depends lacks $p: $depends"
done
contents=$(dpkg-deb -c "$deb")
for f in usr/bin/velmor5 usr/bin/velmor5-script usr/share/man/man1/velmor5.1.gz \
  usr/share/man/man1/velmor5-script.1.gz usr/share/doc/velmor5/copyright \
  usr/share/doc/velmor5/changelog.gz usr/share/applications/org.velmor.velmor5.desktop \
  usr/share/metainfo/org.velmor.velmor5.metainfo.xml \
  usr/share/icons/hicolor/scalable/apps/org.velmor.velmor5.svg \
  usr/share/mime/packages/org.velmor.velmor5.xml usr/share/velmor5/examples/medium-layered.velmor; do
  grep -q " \./$f\$" <<<"$contents" || fail "no $f"
done
# The driver's manual page lists its commands, taken from docs/driver.md.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/man/man1/velmor5-script.1.gz | gzip -dc |
  grep -q 'open\\-experiment' || fail "velmor5-script(1) lists no commands"
size=$(dpkg-deb -f "$deb" Installed-Size)
[ "$size" -lt 6144 ] || fail "installed size ${size} KiB"
apt-get install --simulate -qq "$deb" >/dev/null || fail "dependencies cannot be satisfied"
echo "package: $(basename "$deb"), installed size ${size} KiB, lintian clean"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every C++, CMake and shell source of the project states its licence in
# its first lines; prints those that do not and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files)
else
  files=$(find . -path './build*' -prune -o -type f -print | sed 's|^\./||')
fi
missing=0
while IFS= read -r f; do
  [ -f "$f" ] || continue
  case $f in
    *.cpp | *.h | *.h.in | *.cmake | CMakeLists.txt | */CMakeLists.txt | *.sh) ;;
    *) head -c 3 "$f" | grep -q '^#!/' || continue ;;  # a script without a suffix
  esac
  if ! head -n 3 "$f" | grep -q 'SPDX-License-Identifier: GPL-3.0-or-later'; then
    echo "no SPDX-License-Identifier line: $f"
    missing=1
  fi
done <<<"$files"
exit $missing

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the manual page velmor5-script(1): HEAD with its @DRIVER_COMMANDS@
# line replaced by the part of docs/driver.md between <!-- man --> and
# <!-- /man -->, so the commands are described in one place.
# usage: driver-man.sh HEAD DRIVER_DOC OUT
set -eu
[ $# -eq 3 ] || { echo "usage: driver-man.sh HEAD DRIVER_DOC OUT" >&2; exit 2; }
head=$1
doc=$2
out=$3

awk '
# Markdown text of one line to roff: backslashes escaped, code spans bold
# (with their dashes as roff minus signs), a leading dot or quote guarded.
function roff(s,    inner, done) {
  gsub(/\\/, "\\e", s)
  done = ""
  while (match(s, /`[^`]*`/)) {
    inner = substr(s, RSTART + 1, RLENGTH - 2)
    gsub(/-/, "\\-", inner)
    done = done substr(s, 1, RSTART - 1) "\\fB" inner "\\fR"
    s = substr(s, RSTART + RLENGTH)
  }
  s = done s
  if (s ~ /^[.\047]/) s = "\\&" s
  return s
}
FNR == NR {
  if ($0 == "<!-- man -->") { on = 1; para = 1; next }
  if ($0 == "<!-- /man -->") { on = 0; next }
  if (!on) next
  if ($0 ~ /^\|[-: |]+\|$/) next
  if ($0 ~ /^\|/) {
    # A table row "| command | what it does |": the first cell is the term.
    # Code spans may hold "|", so only " | " separates the cells.
    row = substr($0, 3, length($0) - 4)
    sep = index(row, " | ")
    term = substr(row, 1, sep - 1)
    text = substr(row, sep + 3)
    if (term == "command") next
    body = body ".TP\n" roff(term) "\n" roff(text) "\n"
    para = 0
    next
  }
  if ($0 == "") { para = 0; next }
  if (!para) { body = body ".PP\n"; para = 1 }
  body = body roff($0) "\n"
  next
}
$0 == "@DRIVER_COMMANDS@" { printf "%s", body; next }
{ print }
' "$doc" "$head" >"$out.tmp"
mv "$out.tmp" "$out"

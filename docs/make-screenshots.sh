#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Regenerates the README's pictures: every window after a typical first use,
# through the automation driver, offscreen. Run after building (./run.sh or
# ./test.sh); writes docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
driver=build/velmor5-script
out=docs/screenshots
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
run() {
  (cd "$work" && QT_QPA_PLATFORM=offscreen "$OLDPWD/$driver" /dev/stdin >/dev/null)
}

run <<EOF2
click Form1.Command13
at-yield 40000 click Form1.Command2
click Form1.Command1
snapshot Form1 $PWD/$out/form1-experiment.png
click Form1.Command7
set Form1.Text29 0,2
click Form1.Command12
snapshot Form1 $PWD/$out/form1-graph.png
EOF2

run <<EOF2
check Form1.Check5 1
click Form1.Command13
click Form1.Command1
snapshot Form4 $PWD/$out/form4-report.png
click Form1.Command8
snapshot Form2 $PWD/$out/form2-help.png
EOF2

run <<EOF2
open-experiment $PWD/examples/medium-layered.velmor
click Form3.Command1
snapshot Form3 $PWD/$out/form3-medium.png
EOF2

run <<EOF2
show Form6
click Form6.Command1
snapshot Form6 $PWD/$out/form6-frames.png
click Form6.Command4
snapshot Form7 $PWD/$out/form7-scheme.png
EOF2

run <<EOF2
show Form8
click Form8.Option4
set Form8.Text10 20000
check Form8.Check5 1
click Form8.Command7
click Form8.Command8
set Form8.Text10 1
check Form8.Check1 1
click Form8.Command1
snapshot Form8 $PWD/$out/form8-interferometer.png
snapshot Form9 $PWD/$out/form9-segment-report.png
EOF2

run <<EOF2
show Form5
click Form5.Command1
click Form5.Option2
click Form5.Command1
snapshot Form5 $PWD/$out/form5-calculator.png
EOF2
ls "$out"

#!/usr/bin/env bash
# Regenerates the sample site with the generator (build the mtgen target first):
#   samples/make_samples.sh build/tools/mtgen
# One site, remote H referenced throughout so that the files open together as one set:
#   S107.AMT  AMT band (28 frequencies, 10.4 kHz .. 1 Hz), 10 estimates, tipper, one stored edit
#   S107.MT1  MT band (40 frequencies, 320 Hz .. 0.32 mHz), 10 estimates, tipper, one stored edit
#   S107.MT2  MT band, 12 estimates, a second run with a stored edit at principal axes
set -euo pipefail
gen=${1:-build/tools/mtgen}
dir=$(cd "$(dirname "$0")" && pwd)
layers=100:800,15:4000,400:20000,5
"$gen" -l $layers -n 10 -r 4 -t -s 11 -S S107 -j A1234 -E 0 "$dir/S107.AMT"
"$gen" -l $layers -n 10 -r 4 -t -s 12 -S S107 -j A1234 -E 0 "$dir/S107.MT1"
"$gen" -l $layers -n 12 -r 4 -t -s 13 -S S107 -j A1234 -E pax "$dir/S107.MT2"

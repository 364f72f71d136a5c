#!/usr/bin/env bash
# The run report's cost in whole-process runs: the city-scale synthetic level made SCALE times larger
# (default 4: models, textures and placements, placements capped by the 15-bit ids) converted for
# GTA VC with one dictionary, mip-maps, IDE and IMG on two threads, alternately without and with
# --report (the best of RUNS runs each, default 3). Prints the report's added wall time as a share
# of the conversion alone and the report folder's size as a share of the level's game files.
# Extra arguments are passed on to the runs with the report (e.g. --report-thumbnails).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-3}
scale=${SCALE:-4}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/veldrin-testlevel" "$work" --name city --city --scale "$scale" >/dev/null

run() { # prints the wall seconds of one conversion into $work/out$1
  rm -rf "$work/out$1"
  local start=$EPOCHREALTIME
  "$build/veldrin-cli" convert "$work/city.lvz" --target vc --txd one --ide --img --mipmaps --jobs 2 \
    --out "$work/out$1" "${@:2}" >/dev/null 2>&1
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }'
}
min() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
plain="" report=""
for _ in $(seq "$runs"); do
  plain=$(min "$(run 0)" "$plain")
  report=$(min "$(run 1 --report "$@")" "$report")
done
game=$(du -sb "$work/out1/city" | cut -f1)
pages=$(du -sb "$work/out1/city-report" | cut -f1)
awk -v p="$plain" -v r="$report" -v g="$game" -v s="$pages" -v scale="$scale" 'BEGIN {
  printf "city x%d, --jobs 2: --report adds %.2f of the conversion'\''s wall time (ratio with/without %.2f)\n", scale, (r - p) / p, r / p
  printf "report folder / game files: %.2f (%.1f MB / %.1f MB)\n", s / g, s / 1048576, g / 1048576 }'

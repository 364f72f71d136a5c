#!/usr/bin/env bash
# Whole-process runs of veldrin-cli on the city-scale synthetic level (about 4,000 models, 2,500
# textures, 10,000 instances), with one and with two threads. Prints the ratio of the two times.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/veldrin-testlevel" "$work" --name city --city >/dev/null
"$build/veldrin-cli" info "$work/city.lvz"
run() {
  local jobs=$1 start end
  start=$(date +%s.%N)
  "$build/veldrin-cli" convert "$work/city.lvz" --target vc --ide --img --mipmaps --optimise-mesh \
    --txd group --models-per-txd 50 --jobs "$jobs" --out "$work/out$jobs" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }' 
}
t1=$(run 1); t2=$(run 2)
cmp "$work/out1/city/CITY.IMG" "$work/out2/city/CITY.IMG" && echo "outputs identical for --jobs 1 and --jobs 2"
awk -v a="$t1" -v b="$t2" 'BEGIN { printf "time ratio --jobs 1 / --jobs 2: %.2f\n", a / b }' 

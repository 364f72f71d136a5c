#!/usr/bin/env bash
# Whole-process runs of veldrin-cli on the city-scale synthetic level with --jobs 2, with and without
# --report, alternated three times; prints the median of each and the ratio (the report's overhead).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/veldrin-testlevel" "$work" --name city --city >/dev/null
run() {
  local out=$1 start end
  shift
  start=$(date +%s.%N)
  "$build/veldrin-cli" convert "$work/city.lvz" --target vc --ide --img --mipmaps --optimise-mesh \
    --txd group --models-per-txd 50 --jobs 2 --out "$work/$out" "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
plain=() report=()
for i in 1 2 3; do
  plain+=("$(run plain)")
  report+=("$(run report --report)")
done
cmp "$work/plain/city/CITY.IMG" "$work/report/city/CITY.IMG" && echo "game files identical with and without --report"
median() { printf '%s\n' "$@" | sort -n | sed -n 2p; }
p=$(median "${plain[@]}") r=$(median "${report[@]}")
echo "without --report: ${plain[*]} s; with --report: ${report[*]} s"
awk -v a="$p" -v b="$r" 'BEGIN { printf "time ratio with / without --report (--jobs 2): %.3f\n", b / a }'

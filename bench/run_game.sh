#!/usr/bin/env bash
# Whole-process runs of veldrin-cli on a synthetic game of 8 levels (two editions of each game and
# platform: two levels at four times the city of run_city.sh, six small towns), converted as one folder
# for GTA VC with one dictionary, mip-maps, IDE, IMG and blank collision, with --jobs 1 and --jobs 2.
# Runs are paired (the two thread counts back to back, their order alternating) RUNS times (default 5);
# prints the median time of each, the median of the pairs' ratios, and checks that both outputs and the
# printed tables are identical and that every level equals its own conversion alone at its planned id and prefix.
# Extra arguments are passed on to convert.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
game="$work/game"
mkdir -p "$game"
# Name order mixes the large levels among the small ones, as a game's folder would.
levels=("ams lcs-ps2 --city --scale 4" "bay vcs-ps2" "cove lcs-psp" "dock vcs-psp"
        "east vcs-psp --city --scale 4" "fort lcs-ps2" "glen vcs-ps2" "hill lcs-psp")
for level in "${levels[@]}"; do
  read -r name edition rest <<<"$level"
  # shellcheck disable=SC2086
  "$build/veldrin-testlevel" "$game" --name "$name" --edition "$edition" $rest >/dev/null
done
options=(--ide --img --mipmaps --txd one --blank-col --target vc "$@")

# Prints the seconds of one run of the game with $1 jobs into $work/out$1, its standard output kept.
run() {
  rm -rf "$work/out$1"
  local start=$EPOCHREALTIME
  "$build/veldrin-cli" convert "$game" "${options[@]}" --jobs "$1" --out "$work/out$1" >"$work/stdout$1" 2>/dev/null
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f\n", b - a }'
}

: >"$work/pairs"
for r in $(seq "$runs"); do
  if [ $((r % 2)) -eq 1 ]; then one=$(run 1); two=$(run 2); else two=$(run 2); one=$(run 1); fi
  echo "$one $two" >>"$work/pairs"
done
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
m1=$(awk '{ print $1 }' "$work/pairs" | median)
m2=$(awk '{ print $2 }' "$work/pairs" | median)
ratio=$(awk '{ print $1 / $2 }' "$work/pairs" | median)
echo "game of 8 levels, $runs paired runs: median seconds --jobs 1 $m1, --jobs 2 $m2; median ratio $(printf %.2f "$ratio") (goal 1.9)"

diff -r "$work/out1" "$work/out2" >/dev/null && echo "outputs identical for --jobs 1 and --jobs 2" || echo "OUTPUTS DIFFER"
cmp -s "$work/stdout1" "$work/stdout2" && echo "printed plan and table identical" || echo "PRINTED TABLES DIFFER"

# Each level alone, at the first id and with the model prefix the batch's plan printed for it.
same=0
while read -r name first prefix; do
  "$build/veldrin-cli" convert "$game/$name.lvz" "${options[@]}" --id-offset "$first" --model-prefix "$prefix" \
    --out "$work/alone" >/dev/null 2>&1 || true
  if diff -r "$work/alone/$name" "$work/out2/$name" >/dev/null 2>&1; then same=$((same + 1)); else echo "LEVEL $name DIFFERS FROM ITS RUN ALONE"; fi
done < <(sed -n '2,9p' "$work/stdout1" | awk '{ for (i = 2; i <= NF; ++i) if ($i ~ /^[0-9]+$/) { print $1, $i, $(i + 1); break } }')
echo "$same of 8 levels identical to their conversion alone"

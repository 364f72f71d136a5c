#!/usr/bin/env bash
# Whole-process runs of veldrin-cli on the city-scale synthetic level (about 4,000 models, 2,500
# textures, 10,000 instances; SCALE times as many models and textures, default 1, at most 10 as a level's
# resource indices are 16 bits, its instances as far as their 15-bit ids allow): GTA VC, one
# dictionary, mip-maps, IDE, IMG, blank collision, with one and with two threads. The runs are paired
# (the two thread counts back to back, their order alternating) RUNS times (default 5). Prints the
# median time of each, the median of the pairs' ratios and, step by step, the median milliseconds of
# each thread count (from the moment each status line reaches standard error to the next; "start-up" is the
# process until its first line, and the last line's step lasts until the process has ended): a step that two threads do not shorten
# is the run's serial remainder. Checks that both outputs are identical, and sets the peak resident
# memory against IMG size + inflated world size + 64 MB. Extra arguments are passed on to convert.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-5}
scale=${SCALE:-1}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/veldrin-testlevel" "$work" --name city --city --scale "$scale" >/dev/null
world=$("$build/veldrin-cli" info "$work/city.lvz" | sed -n 's/.*world resource \([0-9]*\) bytes.*/\1/p')
img=$(stat -c %s "$work/city.IMG")

# One run with $1 jobs: appends "seconds max-rss-kilobytes" to $work/runs$1 and the milliseconds of
# each step, one line "step milliseconds" each, to $work/steps$1.
run() {
  local jobs=$1 start
  shift
  rm -rf "$work/out$jobs"
  start=$EPOCHREALTIME
  # Standard error is not a terminal, so each step is one line, stamped as it comes.
  { /usr/bin/time -o "$work/time" -f "%M" "$build/veldrin-cli" convert "$work/city.lvz" --target vc --ide --img \
      --mipmaps --blank-col --jobs "$jobs" --out "$work/out$jobs" "$@" 2>&1 >/dev/null; } |
    while IFS= read -r line; do echo "$EPOCHREALTIME $line"; done >"$work/lines"
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f ", b - a }' >>"$work/runs$jobs"
  cat "$work/time" >>"$work/runs$jobs"
  awk -v a="$start" -v b="$end" '
    BEGIN { last = a; step = "start-up" }
    { t = $1; $1 = ""; sub(/^ /, ""); printf "%s %.1f\n", step, (t - last) * 1000; step = $0; last = t }
    END { printf "%s %.1f\n", step, (b - last) * 1000 }' "$work/lines" >>"$work/steps$jobs"
}

: >"$work/runs1"; : >"$work/runs2"; : >"$work/steps1"; : >"$work/steps2"
for r in $(seq "$runs"); do
  if [ $((r % 2)) -eq 1 ]; then run 1 "$@"; run 2 "$@"; else run 2 "$@"; run 1 "$@"; fi
done
diff -r "$work/out1" "$work/out2" >/dev/null && echo "outputs identical for --jobs 1 and --jobs 2" || echo "OUTPUTS DIFFER"

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
m1=$(awk '{ print $1 }' "$work/runs1" | median)
m2=$(awk '{ print $1 }' "$work/runs2" | median)
ratio=$(paste -d' ' "$work/runs1" "$work/runs2" | awk '{ print $1 / $3 }' | median)
echo "city x$scale, $runs paired runs: median seconds --jobs 1 $m1, --jobs 2 $m2; median ratio $(printf %.2f "$ratio")"

echo "step (median ms: --jobs 1, --jobs 2, ratio)"
# Steps in the order of the first run; the last line's step lasts until the process ends.
awk '{ name = $0; sub(/ [^ ]*$/, "", name); if (!(name in seen)) { seen[name] = 1; print name } }' "$work/steps2" |
  while IFS= read -r step; do
    s1=$(awk -v s="$step" '{ ms = $NF; name = $0; sub(/ [^ ]*$/, "", name); if (name == s) print ms }' "$work/steps1" | median)
    s2=$(awk -v s="$step" '{ ms = $NF; name = $0; sub(/ [^ ]*$/, "", name); if (name == s) print ms }' "$work/steps2" | median)
    awk -v s="$step" -v a="$s1" -v b="$s2" 'BEGIN { printf "  %-28s %8.1f %8.1f  %5.2f\n", s, a, b, (b > 0 ? a / b : 0) }'
  done

peak1=$(awk '{ if ($2 > m) m = $2 } END { print m }' "$work/runs1")
peak2=$(awk '{ if ($2 > m) m = $2 } END { print m }' "$work/runs2")
awk -v m1="$peak1" -v m2="$peak2" -v img="$img" -v world="$world" 'BEGIN {
  bound = (img + world) / 1024 + 64 * 1024
  printf "peak RSS: --jobs 1 %.1f MB, --jobs 2 %.1f MB; bound (IMG %.1f MB + world %.1f MB + 64 MB) %.1f MB; ratio to bound %.2f\n",
    m1 / 1024, m2 / 1024, img / 1048576, world / 1048576, bound / 1024, (m1 > m2 ? m1 : m2) / bound }'

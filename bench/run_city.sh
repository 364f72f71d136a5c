#!/usr/bin/env bash
# Whole-process runs of veldrin-cli on the city-scale synthetic level (about 4,000 models, 2,500
# textures, 10,000 instances): GTA VC, one dictionary, mip-maps, IDE, IMG, with one and with two
# threads, the best of RUNS runs each (default 3). Prints the time ratio, checks that both outputs are
# identical, and sets the peak resident memory against IMG size + inflated world size + 64 MB.
# Extra arguments are passed on to convert (e.g. --txd group --models-per-txd 50).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
runs=${RUNS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/veldrin-testlevel" "$work" --name city --city >/dev/null
world=$("$build/veldrin-cli" info "$work/city.lvz" | sed -n 's/.*world resource: \([0-9]*\) bytes.*/\1/p')
img=$(stat -c %s "$work/city.IMG")

# Prints "seconds max-rss-kilobytes" of the fastest of $runs runs.
measure() {
  local jobs=$1 best="" line
  shift
  for _ in $(seq "$runs"); do
    rm -rf "$work/out$jobs"
    # Wall time from the shell's microsecond clock (time's own is in hundredths); memory from time.
    local start=$EPOCHREALTIME
    /usr/bin/time -o "$work/time" -f "%M" "$build/veldrin-cli" convert "$work/city.lvz" --target vc --ide --img \
      --mipmaps --jobs "$jobs" --out "$work/out$jobs" "$@" >/dev/null 2>&1
    line="$(awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.4f", b - a }') $(cat "$work/time")"
    if [ -z "$best" ] || awk -v a="${line% *}" -v b="${best% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  echo "$best"
}
one=$(measure 1 "$@")
two=$(measure 2 "$@")
diff -r "$work/out1" "$work/out2" >/dev/null && echo "outputs identical for --jobs 1 and --jobs 2" || echo "OUTPUTS DIFFER"
awk -v a="${one% *}" -v b="${two% *}" 'BEGIN { printf "seconds: --jobs 1 %.3f, --jobs 2 %.3f; ratio %.2f\n", a, b, a / b }'
awk -v m1="${one#* }" -v m2="${two#* }" -v img="$img" -v world="$world" 'BEGIN {
  bound = (img + world) / 1024 + 64 * 1024
  printf "peak RSS: --jobs 1 %.1f MB, --jobs 2 %.1f MB; bound (IMG %.1f MB + world %.1f MB + 64 MB) %.1f MB; ratio to bound %.2f\n",
    m1 / 1024, m2 / 1024, img / 1048576, world / 1048576, bound / 1024, (m1 > m2 ? m1 : m2) / bound }'

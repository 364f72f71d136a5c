#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan) into build-fuzz/ and runs them.
#   scripts/fuzz.sh [TARGET|all] [SECONDS] [--small] [--cores N]
#                                           explore each target for SECONDS (default 300), one at a time,
#                                           on N processes at once (default: every core), each in its own
#                                           folder, and merge what adds coverage back into fuzz/corpus/TARGET;
#                                           --small caps new inputs at 4 KB: whole levels run ten times
#                                           faster and reach odd header values sooner (it found a row
#                                           start overflow that millions of full-size inputs had not)
#   scripts/fuzz.sh --replay [SECONDS]      CI: every target over its kept corpus, then SECONDS (default 20)
#                                           of exploration in a scratch copy; fails on any crash, sanitizer
#                                           report, input over 10 s or memory over 2 GB
#   scripts/fuzz.sh --seeds                 rewrite the seed corpora from the test builders
# A summary line per target gives executions, coverage and executions per second.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=(level geometry texture stories_col col2 colmap zon placement_dump vcpatch dictionary thumbnail install)
dir=build-fuzz
limits=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 -print_final_stats=1)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

build() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELDRIN_FUZZ=ON -DVELDRIN_TESTS=OFF \
    -DVELDRIN_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target veldrin-fuzz-corpus $(printf 'fuzz_%s ' "${targets[@]}")
}

# Runs one target; prints "TARGET: N executions, cov C, ft F, R exec/s" from libFuzzer's own report.
run() {
  local t=$1 log; shift
  log=$(mktemp)
  local status=0
  "$dir/fuzz/fuzz_$t" -dict="fuzz/dict/$t.dict" -artifact_prefix="$dir/artifacts/$t-" "${limits[@]}" "$@" \
    >"$log" 2>&1 || status=$?
  if [ $status -ne 0 ]; then
    tail -n 60 "$log"
    rm -f "$log"
    echo "FUZZ FAILURE: $t (see $dir/artifacts/)"
    return $status
  fi
  local execs rate cov ft
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
  echo "$t: ${execs:-0} executions, cov ${cov:-0}, ft ${ft:-0}, ${rate:-0} exec/s"
  rm -f "$log"
}

mkdir -p "$dir/artifacts"
case "${1:-all}" in
--seeds)
  build
  "$dir/fuzz/veldrin-fuzz-corpus" fuzz/corpus
  ;;
--replay)
  seconds=${2:-20}
  build
  for t in "${targets[@]}"; do
    run "$t" -runs=0 "fuzz/corpus/$t" | sed 's/^/replay /'
    scratch=$(mktemp -d)
    cp -r "fuzz/corpus/$t/." "$scratch/"
    run "$t" -max_total_time="$seconds" "$scratch"
    rm -rf "$scratch"
  done
  ;;
*)
  chosen=("${targets[@]}")
  [ "${1:-all}" != all ] && chosen=("$1")
  seconds=${2:-300}
  small=()
  cores=$(nproc)
  shift $(( $# < 2 ? $# : 2 ))
  while [ $# -gt 0 ]; do
    case "$1" in
    --small) small=(-max_len=4096) ;;
    --cores) cores=$2; shift ;;
    *) echo "unknown option: $1" >&2; exit 2 ;;
    esac
    shift
  done
  build
  failed=()
  for t in "${chosen[@]}"; do
    # libFuzzer's processes share nothing, so each explores its own copy of the corpus; the merge joins them.
    works=() pids=() summaries=()
    for ((k = 1; k <= cores; k++)); do
      works+=("$dir/work/$t")
      [ "$k" -eq 1 ] || works[-1]+="-$k"
      summaries+=("$(mktemp)")
      mkdir -p "${works[-1]}"
      cp -rn "fuzz/corpus/$t/." "${works[-1]}/"
      run "$t" -max_total_time="$seconds" "${small[@]}" "${works[-1]}" >"${summaries[-1]}" &
      pids+=($!)
    done
    status=0
    for pid in "${pids[@]}"; do wait "$pid" || status=1; done
    cat "${summaries[@]}"
    [ "$cores" -gt 1 ] && awk -v t="$t" -v n="$cores" '$3 == "executions," { sum += $2 }
      END { print t ": " sum " executions in all on " n " processes" }' "${summaries[@]}"
    rm -f "${summaries[@]}"
    [ $status -ne 0 ] && failed+=("$t")
    before=$(ls "fuzz/corpus/$t" | wc -l)
    "$dir/fuzz/fuzz_$t" -merge=1 "fuzz/corpus/$t" "${works[@]}" >/dev/null 2>&1
    echo "$t: corpus $before -> $(ls "fuzz/corpus/$t" | wc -l) files"
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]}"
    exit 1
  fi
  ;;
esac

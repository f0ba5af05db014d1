#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs them.
#
#   bash scripts/fuzz.sh --smoke        # what test.sh runs: the same inputs on every machine
#   bash scripts/fuzz.sh 3600           # every target for an hour, random seeds
#   bash scripts/fuzz.sh 600 prof conf  # some targets for ten minutes each
#
# --smoke runs each target over its seed corpus and its regression files, then
# a fixed number of mutations from a fixed seed: the same executions every
# time, so it passes or fails alike on every machine. The number of runs per
# target is in the table below (MOUSECFG_FUZZ_RUNS scales them all: 0.5 halves
# them).
#
# A timed run starts from a random seed and keeps what it learns in
# build-fuzz/corpus/<target>/. A failing input it finds is copied to
# tests/fuzz/regressions/<target>/, where the ordinary tests replay it from
# then on; fix the reader, then commit the file.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=timed
seconds=60
if [ "${1:-}" = "--smoke" ]; then
  mode=smoke
  shift
elif [ $# -gt 0 ]; then
  seconds="$1"
  shift
fi
targets=("$@")

# Runs per target in the smoke: about 10 s each on a quiet machine of this
# project's kind, 20 s on a busy one (the targets differ a thousandfold in
# speed: the slow ones write and read real files for every input).
declare -A smoke_runs=(
  [ini]=15000 [description]=600 [config]=500 [langconfig]=450 [prof]=180
  [conf]=140 [macro]=270 [echo]=80000 [poller]=100000
)
[ ${#targets[@]} -eq 0 ] && targets=(ini description config langconfig prof conf macro echo poller)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOUSECFG_FUZZ=ON -DMOUSECFG_TESTS=OFF \
      -DMOUSECFG_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
artifacts=build-fuzz/artifacts
mkdir -p "$artifacts"
work=$(mktemp -d "${TMPDIR:-/tmp}/mousecfg-fuzz.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The seeds of a target copied one by one, in name order, into a fresh
# folder: libFuzzer lists a folder in the order the file system gives, which
# differs between machines, and that order steers every mutation after it.
stage_seeds() {
  local t="$1" dest="$2" dir f n=0
  mkdir -p "$dest"
  for dir in "tests/fuzz/corpus/$t" "tests/fuzz/regressions/$t"; do
    [ -d "$dir" ] || continue
    while IFS= read -r f; do
      n=$((n + 1))
      cp "$f" "$dest/$(printf '%05d' "$n")"
    done < <(find "$dir" -type f | LC_ALL=C sort)
  done
}

failed=()
for t in "${targets[@]}"; do
  rm -f "$artifacts/$t"-*
  args=(-timeout=25 -rss_limit_mb=3072 -max_len=8192 -print_final_stats=1 -artifact_prefix="$artifacts/$t-")
  if [ "$mode" = smoke ]; then
    runs=$(awk -v r="${smoke_runs[$t]:-2000}" -v s="${MOUSECFG_FUZZ_RUNS:-1}" 'BEGIN { printf "%d", r * s }')
    echo "== fuzz_$t: seeds, regressions and $runs runs from seed 1"
    # Qt's hashes take a random seed per process unless told otherwise, and
    # their order steers which paths the readers take.
    export QT_HASH_SEED=0
    # New inputs go to a folder of their own that starts empty every time.
    stage_seeds "$t" "$work/$t/seeds"
    mkdir -p "$work/$t/new"
    # Comparisons are not fed back as mutation hints: some compare pointers,
    # whose values differ from one run to the next.
    args+=(-seed=1 -runs="$runs" -use_cmp=0 "$work/$t/new" "$work/$t/seeds")
  else
    echo "== fuzz_$t: ${seconds} s"
    mkdir -p "build-fuzz/corpus/$t"
    seeds=("tests/fuzz/corpus/$t")
    [ -d "tests/fuzz/regressions/$t" ] && seeds+=("tests/fuzz/regressions/$t")
    args+=(-max_total_time="$seconds" "build-fuzz/corpus/$t" "${seeds[@]}")
  fi
  build-fuzz/fuzz/"fuzz_$t" "${args[@]}" 2>&1 \
    | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Done|.*runtime error)" || true
  found=$(ls "$artifacts/$t"-* 2>/dev/null || true)
  if [ -n "$found" ]; then
    failed+=("$t")
    echo "fuzz_$t found a failing input: $found" >&2
    if [ "$mode" = timed ]; then
      mkdir -p "tests/fuzz/regressions/$t"
      for f in $found; do
        cp "$f" "tests/fuzz/regressions/$t/$(basename "$f" | sed "s/^$t-//")"
      done
      echo "  copied to tests/fuzz/regressions/$t/: the ordinary tests replay it from now on" >&2
    fi
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found failing inputs in: ${failed[*]}" >&2
  exit 1
fi

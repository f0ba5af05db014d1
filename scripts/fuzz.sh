#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build-fuzz/) and runs each
# for a while, starting from its seed corpus and the regression files.
#
#   bash scripts/fuzz.sh            # every target for 20 s (what test.sh runs)
#   bash scripts/fuzz.sh 3600       # every target for an hour
#   bash scripts/fuzz.sh 600 prof   # one target
#
# New inputs go to build-fuzz/corpus/<target>/; a crash leaves its input in
# build-fuzz/artifacts/ and fails the script. Copy an input worth keeping into
# tests/fuzz/regressions/<target>/ so the ordinary tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(ini description config langconfig prof conf macro echo poller)

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOUSECFG_FUZZ=ON -DMOUSECFG_TESTS=OFF \
      -DMOUSECFG_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
mkdir -p build-fuzz/artifacts
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t"
  seeds=("tests/fuzz/corpus/$t")
  [ -d "tests/fuzz/regressions/$t" ] && seeds+=("tests/fuzz/regressions/$t")
  echo "== fuzz_$t: ${seconds} s"
  build-fuzz/fuzz/"fuzz_$t" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=3072 -max_len=8192 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/artifacts/$t-" \
      "build-fuzz/corpus/$t" "${seeds[@]}" 2>&1 | grep -E "^(#[0-9]+ +DONE|stat::number_of_executed_units|==[0-9]+==ERROR|SUMMARY|Done)" || true
  if ls build-fuzz/artifacts/"$t"-* >/dev/null 2>&1; then
    echo "fuzz_$t found a failing input: $(ls build-fuzz/artifacts/"$t"-*)" >&2
    exit 1
  fi
done

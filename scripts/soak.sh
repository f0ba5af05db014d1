#!/usr/bin/env bash
# Runs the whole test suite three times over under `ctest -j4` while a busy
# loop per core keeps the machine loaded, to catch tests that pass only when
# the machine is idle. Not part of test.sh: it takes three times as long.
#
#   bash scripts/soak.sh            # three rounds in build-tests/ (built first)
#   bash scripts/soak.sh 5          # five rounds
#
# A round that fails prints CTest's output of the failing tests; the script
# fails when any round did.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-3}"
bash scripts/deps.sh
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DMOUSECFG_SANITIZE=ON >/dev/null
cmake --build build-tests -j"$(nproc)"

hogs=()
stop_hogs() {
  [ ${#hogs[@]} -gt 0 ] && kill "${hogs[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap stop_hogs EXIT
for _ in $(seq "$(nproc)"); do
  ( while :; do :; done ) &
  hogs+=($!)
done

failed=0
for round in $(seq "$rounds"); do
  echo "== round $round of $rounds (load $(cut -d' ' -f1-3 /proc/loadavg))"
  if ! (cd build-tests && ctest -j4 --output-on-failure); then
    failed=$((failed + 1))
  fi
done
if [ "$failed" -gt 0 ]; then
  echo "$failed of $rounds rounds failed" >&2
  exit 1
fi
echo "all $rounds rounds passed"

#!/usr/bin/env bash
# Installs what is missing, builds every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the thread checks under ThreadSanitizer,
# runs each fuzz target over its seeds and a fixed number of mutations from a
# fixed seed (the same on every machine), checks the install, the launcher, the
# metadata and the .deb, runs the window suites again as Wayland clients of
# a headless weston, then runs the whole suite (with the replay of the
# fuzz corpora, the kill test and the real HID stack under umockdev). The last
# line is CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
jobs="$(nproc)"
# Compiled objects are kept by ccache between runs and shared between checkouts
# (paths are taken relative to the checkout).
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

if [ -f tests/tsan.targets ]; then
  mapfile -t tsan_targets < <(grep -v '^\s*#' tests/tsan.targets | grep .)
  if [ ${#tsan_targets[@]} -gt 0 ]; then
    cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DMOUSECFG_TSAN=ON -DMOUSECFG_BENCH=OFF >/dev/null
    cmake --build build-tsan -j"$jobs" --target "${tsan_targets[@]}"
    (cd build-tsan && ctest --output-on-failure -R "^($(IFS='|'; echo "${tsan_targets[*]}"))\$")
  fi
fi

# Every reader under libFuzzer: its seeds and regression files, then a fixed
# number of runs from a fixed seed. Long random runs: scripts/fuzz.sh <seconds>.
bash scripts/fuzz.sh --smoke

# The installed program and the Debian package (a Release tree of their own).
bash scripts/check-desktop.sh build-release

cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Debug -DMOUSECFG_SANITIZE=ON >/dev/null
cmake --build build-tests -j"$jobs"
# The window suites once more as Wayland clients of a headless weston.
bash scripts/wayland-check.sh build-tests
cd build-tests
ctest --output-on-failure -j"$jobs"
